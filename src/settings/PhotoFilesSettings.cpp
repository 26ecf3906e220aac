#include "settings/PhotoFilesSettings.h"

#include "library/PlaylistSync.h"
#include "settings/BusyIndicator.h"
#include "settings/PaneText.h"
#include "state/PlaylistEditor.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

PhotoFilesSettings::PhotoFilesSettings(ErrorSink& errors, PlaylistEditor& playlists, PlaylistSync& sync,
                                       QWidget* parent)
    : QWidget(parent), m_sync(sync)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* clear = new QPushButton(tr("Clear files"), this);
    clear->setObjectName(u"photoFiles.clear"_s);
    connect(clear, &QPushButton::clicked, this, [&sync] { sync.clearFiles(); });
    // Neither asks first, so neither is ever the dialog's default that Return presses.
    clear->setAutoDefault(false);
    auto* resize = new QPushButton(tr("Resize Photos"), this);
    resize->setObjectName(u"photoFiles.resize"_s);
    connect(resize, &QPushButton::clicked, this, [&sync] { sync.resizePhotos(); });
    resize->setAutoDefault(false);
    m_busy = new BusyIndicator(this);
    m_progress = PaneText::note(QString(), this);
    m_progress->setObjectName(u"photoFiles.progress"_s);
    m_progress->setWordWrap(false);
    row->addWidget(clear);
    row->addWidget(resize);
    row->addWidget(m_busy);
    row->addWidget(m_progress);
    row->addStretch();
    layout->addLayout(row);

    layout->addWidget(
        PaneText::note(tr("Remove temp files and re-link Wallpaper / ScreenSaver from playlists."), this));
    layout->addWidget(PaneText::note(tr("Resize photos to new display resolution."), this));
    layout->addSpacing(4);
    auto* import = new QPushButton(tr("Import Folder…"), this);
    import->setObjectName(u"photoFiles.import"_s);
    connect(import, &QPushButton::clicked, this,
            [&errors, &playlists] { ViewTask::start(errors, playlists.importFolders()); });
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(import);
    importRow->addStretch();
    layout->addLayout(importRow);
    layout->addWidget(
        PaneText::note(tr("Each folder inside the one you choose becomes a playlist linked to it."), this));

    for (auto signal :
         {&PlaylistSync::isSyncingChanged, &PlaylistSync::doneChanged, &PlaylistSync::totalChanged})
        connect(&sync, signal, this, &PhotoFilesSettings::showProgress);
    showProgress();
}

PhotoFilesSettings::~PhotoFilesSettings() = default;

void PhotoFilesSettings::showProgress()
{
    const bool syncing = m_sync.isSyncing();
    m_busy->setVisible(syncing);
    m_progress->setVisible(syncing);
    m_progress->setText(tr("Syncing photos: %1 of %2").arg(m_sync.done()).arg(m_sync.total()));
}

} // namespace lumi
