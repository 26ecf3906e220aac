#include "browser/PlaylistSheets.h"

#include "browser/NameSheet.h"
#include "browser/core/BrowserState.h"
#include "state/PlaylistEditor.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The name rule is checked in the sheet, so a refused name stays there to be mended.
NameSheet* openSheet(QWidget& window, const QString& title, const QString& action, const QString& initial,
                     NameSheet::Check check)
{
    auto* sheet = new NameSheet(title, action, initial, &window);
    sheet->setCheck(std::move(check));
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    return sheet;
}

} // namespace

PlaylistSheets::PlaylistSheets(QWidget& window, BrowserState& state, ErrorSink& errors,
                               PlaylistEditor& playlists)
    : QObject(&window), m_window(window), m_state(state), m_errors(errors), m_playlists(playlists)
{
}

void PlaylistSheets::newPlaylist()
{
    NameSheet* sheet =
        openSheet(m_window, tr("New Playlist"), u"Create"_s, QString(), &PlaylistEditor::newNameRefusal);
    connect(sheet, &NameSheet::committed, this,
            [this](const QString& name) { ViewTask::start(m_errors, create(name, std::nullopt)); });
}

void PlaylistSheets::newPlaylistFor(Medium photo)
{
    NameSheet* sheet = openSheet(m_window, tr("New Playlist"), tr("Create and Add"), QString(),
                                 &PlaylistEditor::newNameRefusal);
    connect(sheet, &NameSheet::committed, this,
            [this, photo](const QString& name) { ViewTask::start(m_errors, create(name, photo)); });
}

void PlaylistSheets::rename(Album album)
{
    NameSheet* sheet =
        openSheet(m_window, tr("Rename Playlist"), u"Rename"_s, album.title,
                  [album](const QString& name) { return PlaylistEditor::renameRefusal(album, name); });
    connect(sheet, &NameSheet::committed, this, [this, album](const QString& name) {
        ViewTask::start(m_errors, m_playlists.renamePlaylist(album, name));
    });
}

void PlaylistSheets::confirmDelete(Album album)
{
    auto* question = new QMessageBox(QMessageBox::Warning, tr("Delete “%1”?").arg(album.title),
                                     tr("Delete “%1”?").arg(album.title), QMessageBox::Cancel, &m_window);
    question->setPalette(Palette::widgets());
    question->setTextFormat(Qt::PlainText);
    question->setInformativeText(tr("The photos stay in the Lumivale catalog; only this playlist goes."));
    question->setWindowModality(Qt::WindowModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* remove = question->addButton(tr("Delete Playlist"), QMessageBox::DestructiveRole);
    remove->setObjectName(u"deleteSheet.delete"_s);
    // Return or Space right away must not delete: the focus starts on "Cancel".
    question->setDefaultButton(QMessageBox::Cancel);
    connect(remove, &QPushButton::clicked, this, [this, album] {
        // The view leaves the playlist at once, before the service answers.
        m_state.leavePlaylist(album);
        ViewTask::start(m_errors, m_playlists.deletePlaylist(album));
    });
    question->open();
}

QCoro::Task<void> PlaylistSheets::create(QString name, std::optional<Medium> photo)
{
    QPointer<BrowserState> state(&m_state);
    PlaylistEditor& playlists = m_playlists;
    const std::optional<Album> album = co_await playlists.createPlaylist(std::move(name));
    if (!album)
        co_return;
    if (photo)
        co_await playlists.addToPlaylist(*photo, *album);
    else if (state)
        state->setSelection(Source{Source::Album{album->id}});
}

} // namespace lumi
