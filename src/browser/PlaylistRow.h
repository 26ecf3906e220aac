#pragma once

#include "model/Album.h"

#include <QWidget>

#include <memory>

class QMenu;

namespace lumi {

class AppModel;
class BrowserState;
class Defaults;
class FileRevealer;
class PlaylistEditor;
class SidebarRow;
class SyncScheduler;

/// One playlist in the sidebar: selects it, shows and switches whether it feeds the wallpaper
/// rotation and the screen saver, and offers its folder, rename and delete operations in its
/// context menu. Built from the album as the model holds it; the list makes a new row when the
/// albums change.
class PlaylistRow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistRow)

public:
    PlaylistRow(Album album, BrowserState& state, AppModel& model, PlaylistEditor& playlists,
                const SyncScheduler& sync, FileRevealer& revealer, const Defaults& defaults,
                QWidget* parent = nullptr);

    const Album& album() const { return m_album; }
    SidebarRow& row() const { return *m_row; }
    /// The context menu as it would open now.
    std::unique_ptr<QMenu> contextMenu();

signals:
    void renameRequested(const lumi::Album& album);
    void deleteRequested(const lumi::Album& album);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void addFolderItems(QMenu& menu);

    Album m_album;
    BrowserState& m_state;
    AppModel& m_model;
    PlaylistEditor& m_playlists;
    const SyncScheduler& m_sync;
    FileRevealer& m_revealer;
    const Defaults& m_defaults;
    SidebarRow* m_row;
};

} // namespace lumi
