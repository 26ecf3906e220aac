#pragma once

#include "model/Album.h"

#include <QFrame>

#include <optional>

namespace lumi {

class Account;

/// "Add Photo to Playlist": a popup of the user's playlists (the grid's own left out) and "New
/// Playlist…", opened above its button, or below it when there is no room above. A click outside
/// closes it; a choice is reported and the caller closes it.
class PlaylistPicker final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistPicker)

public:
    static constexpr int width = 320;
    static constexpr int buttonWidth = 140;

    PlaylistPicker(const Account& account, std::optional<Album> excluding, QWidget* parent = nullptr);

    /// Shows the popup against anchor's global rectangle.
    void popUp(const QWidget& anchor);

signals:
    void chosen(const lumi::Album& album);
    void newPlaylistRequested();
};

} // namespace lumi
