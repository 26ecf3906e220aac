#pragma once

#include "browser/SidebarServices.h"
#include "model/Album.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QPointer>

#include <QWidget>

#include <functional>
#include <memory>

class QDropEvent;
class QMenu;

namespace lumi {

class BrowserState;
class SidebarRow;

/// One playlist in the sidebar: selects it, shows and switches whether it feeds the wallpaper
/// rotation and the screen saver, and offers its folder, rename and delete operations in its
/// context menu. Takes photos dragged from a grid of this app and adds them to the playlist.
/// Built from the album as the model holds it; the list makes a new row when the albums change.
class PlaylistRow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistRow)

public:
    PlaylistRow(Album album, BrowserState& state, SidebarServices services, QWidget* parent = nullptr);

    const Album& album() const { return m_album; }
    SidebarRow& row() const { return *m_row; }
    /// The context menu as it would open now.
    std::unique_ptr<QMenu> contextMenu();

    /// Tells a drag this process started from one another client offers: on X11 any client can
    /// offer the photos' type, so only the app's own drags are taken.
    using DragOrigin = std::function<bool(const QDropEvent&)>;
    /// Replaces the check on the drag's source; tests use it, as the offscreen platform runs no
    /// drag of its own.
    void setDragOrigin(DragOrigin isOwnDrag) { m_isOwnDrag = std::move(isOwnDrag); }

signals:
    void renameRequested(const lumi::Album& album);
    void deleteRequested(const lumi::Album& album);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void addFolderItems(QMenu& menu);
    bool takesDrag(const QDropEvent& event) const;
    static QCoro::Task<void> reportAdded(QPointer<Guidance> guidance, QCoro::Task<int> adding, QString title);

    Album m_album;
    BrowserState& m_state;
    ErrorSink& m_errors;
    PlaylistEditor& m_playlists;
    Guidance& m_guidance;
    const SyncScheduler& m_sync;
    FileRevealer& m_revealer;
    const Defaults& m_defaults;
    SidebarRow* m_row;
    DragOrigin m_isOwnDrag;
};

} // namespace lumi
