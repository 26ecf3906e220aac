#include "browser/PlaylistRow.h"

#include "browser/MembershipMark.h"
#include "browser/PhotoDrag.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "library/LocalPhotos.h"
#include "library/SyncScheduler.h"
#include "platform/FileRevealer.h"
#include "state/Guidance.h"
#include "state/PlaylistEditor.h"
#include "widgets/ViewTask.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace lumi {

PlaylistRow::PlaylistRow(Album album, BrowserState& state, SidebarServices services, QWidget* parent)
    : QWidget(parent), m_album(std::move(album)), m_state(state), m_errors(services.errors),
      m_playlists(services.playlists), m_guidance(services.guidance), m_sync(services.sync),
      m_revealer(services.revealer), m_defaults(services.defaults),
      m_row(new SidebarRow(m_album.title, this)),
      m_isOwnDrag([](const QDropEvent& event) { return event.source() != nullptr; })
{
    setAcceptDrops(true);
    setObjectName(u"playlist.%1"_s.arg(m_album.id));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_row);

    auto* marks = new QWidget;
    auto* marksLayout = new QHBoxLayout(marks);
    marksLayout->setContentsMargins(0, 0, 0, 0);
    marksLayout->setSpacing(6);
    const bool inPaper = m_album.includeInPaper.value_or(false);
    const bool inSaver = m_album.includeInSaver.value_or(false);
    auto* paper = new MembershipMark(MembershipMark::Kind::wallpaper, inPaper, marks);
    auto* saver = new MembershipMark(MembershipMark::Kind::saver, inSaver, marks);
    paper->setObjectName(u"paper"_s);
    saver->setObjectName(u"saver"_s);
    marksLayout->addWidget(paper);
    marksLayout->addWidget(saver);
    m_row->setTrailing(marks);

    // Each click sends the opposite of what the row was drawn with.
    connect(paper, &MembershipMark::clicked, this,
            [this, inPaper] { ViewTask::start(m_errors, m_playlists.setIncludeInPaper(m_album, !inPaper)); });
    connect(saver, &MembershipMark::clicked, this,
            [this, inSaver] { ViewTask::start(m_errors, m_playlists.setIncludeInSaver(m_album, !inSaver)); });

    const Source source{Source::Album{m_album.id}};
    connect(m_row, &SidebarRow::clicked, this, [this, source] { m_state.setSelection(source); });
    auto showSelection = [this, source] { m_row->setSelected(m_state.selection() == source); };
    connect(&m_state, &BrowserState::selectionChanged, this, showSelection);
    showSelection();
    auto showDropTarget = [this] { m_row->setOutlined(m_state.dropTarget() == m_album.id); };
    connect(&m_state, &BrowserState::dropTargetChanged, this, showDropTarget);
    showDropTarget();
}

std::unique_ptr<QMenu> PlaylistRow::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* paper = menu->addAction(tr("In Wallpaper Rotation"));
    paper->setCheckable(true);
    paper->setChecked(m_album.includeInPaper.value_or(false));
    connect(paper, &QAction::toggled, this,
            [this](bool on) { ViewTask::start(m_errors, m_playlists.setIncludeInPaper(m_album, on)); });
    QAction* saver = menu->addAction(tr("In Screen Saver"));
    saver->setCheckable(true);
    saver->setChecked(m_album.includeInSaver.value_or(false));
    connect(saver, &QAction::toggled, this,
            [this](bool on) { ViewTask::start(m_errors, m_playlists.setIncludeInSaver(m_album, on)); });
    if (m_album.isFavorites())
        return menu;

    menu->addSeparator();
    addFolderItems(*menu);
    menu->addSeparator();
    connect(menu->addAction(tr("Rename…")), &QAction::triggered, this,
            [this] { emit renameRequested(m_album); });
    connect(menu->addAction(tr("Delete…")), &QAction::triggered, this,
            [this] { emit deleteRequested(m_album); });
    return menu;
}

void PlaylistRow::addFolderItems(QMenu& menu)
{
    if (!m_album.isLinkedFolder()) {
        connect(menu.addAction(tr("Add Photos from Computer…")), &QAction::triggered, this,
                [this] { ViewTask::start(m_errors, m_playlists.addLocalPhotos(m_album)); });
        connect(menu.addAction(tr("Link Folder…")), &QAction::triggered, this,
                [this] { ViewTask::start(m_errors, m_playlists.linkFolder(m_album)); });
        return;
    }
    if (LocalPhotos::isFolderMissing(m_album, m_defaults)) {
        // Linked on another computer: this one has no folder at that path.
        connect(menu.addAction(tr("Link Folder on This Computer…")), &QAction::triggered, this,
                [this] { ViewTask::start(m_errors, m_playlists.linkFolder(m_album)); });
        return;
    }
    connect(menu.addAction(tr("Show Linked Folder in File Manager")), &QAction::triggered, this, [this] {
        if (const std::optional<QString> folder = m_sync.albumFolder(m_album))
            m_revealer.revealFolder(*folder);
    });
    connect(menu.addAction(tr("Unlink Folder")), &QAction::triggered, this,
            [this] { ViewTask::start(m_errors, m_playlists.unlinkFolder(m_album)); });
}

void PlaylistRow::contextMenuEvent(QContextMenuEvent* event)
{
    // Popped up rather than run in a loop of its own; it goes when it closes.
    QMenu* menu = contextMenu().release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool PlaylistRow::takesDrag(const QDropEvent& event) const
{
    return event.mimeData() && event.mimeData()->hasFormat(PhotoDrag::mimeType()) && m_isOwnDrag(event);
}

void PlaylistRow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!takesDrag(*event)) {
        event->ignore();
        return;
    }
    m_state.setDropTarget(m_album.id);
    event->acceptProposedAction();
}

void PlaylistRow::dragMoveEvent(QDragMoveEvent* event)
{
    if (takesDrag(*event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistRow::dragLeaveEvent(QDragLeaveEvent* event)
{
    // The row the pointer moved on to may have claimed the highlight already.
    if (m_state.dropTarget() == m_album.id)
        m_state.setDropTarget(std::nullopt);
    event->accept();
}

void PlaylistRow::dropEvent(QDropEvent* event)
{
    m_state.setDropTarget(std::nullopt);
    const std::optional<PhotoDrag> drag =
        takesDrag(*event) ? PhotoDrag::fromMimeData(*event->mimeData()) : std::nullopt;
    // Photos dropped on the playlist they are shown from would only be added again.
    const bool shown = m_state.selection() == Source{Source::Album{m_album.id}};
    if (!drag || drag->media.isEmpty() || shown) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    ViewTask::start(m_errors, reportAdded(&m_guidance, m_playlists.addPhotosToPlaylist(drag->media, m_album),
                                          m_album.title));
}

QCoro::Task<void> PlaylistRow::reportAdded(QPointer<Guidance> guidance, QCoro::Task<int> adding,
                                           QString title)
{
    const int added = co_await adding;
    if (!guidance || added == 0)
        co_return;
    guidance->showNotice(added == 1 ? tr("Added to %1").arg(title)
                                    : tr("Added %1 photos to %2").arg(added).arg(title));
}

} // namespace lumi
