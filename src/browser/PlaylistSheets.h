#pragma once

#include "model/Album.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QObject>

class QWidget;

namespace lumi {

class BrowserState;
class ErrorSink;
class PlaylistEditor;

/// The browser's playlist sheets on its window: create, create and add a photo, rename, and the
/// question before a deletion. The editor reports refused names and failed requests itself.
class PlaylistSheets final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistSheets)

public:
    PlaylistSheets(QWidget& window, BrowserState& state, ErrorSink& errors, PlaylistEditor& playlists);

    /// A new playlist, shown once made.
    void newPlaylist();
    /// A new playlist that gets the photo; the browser stays where it is.
    void newPlaylistFor(Medium photo);
    void rename(Album album);
    void confirmDelete(Album album);

private:
    QCoro::Task<void> create(QString name, std::optional<Medium> photo);

    QWidget& m_window;
    BrowserState& m_state;
    ErrorSink& m_errors;
    PlaylistEditor& m_playlists;
};

} // namespace lumi
