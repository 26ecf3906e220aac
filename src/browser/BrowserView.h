#pragma once

#include "browser/BrowserServices.h"
#include "model/PlaceQuery.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QScrollArea;
class QSplitter;
class QVBoxLayout;

namespace lumi {

class AppModel;
class BrowserState;
class BrowserToolbar;
class PhotoSheets;
class PlaylistSheets;
class SidebarList;
class ThumbnailLoader;
class WindowPresenter;
struct Source;

/// The catalog browser the main window shows while signed in: the toolbar, the sidebar with its
/// list (and the legend in the playlists mode), and the detail column with the server's banner,
/// the content for the selection and the notice toast. It names its window after the selection.
class BrowserView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserView)

public:
    BrowserView(AppModel& model, WindowPresenter& window, BrowserServices services,
                QWidget* parent = nullptr);
    ~BrowserView() override;

    BrowserState& state() const { return *m_state; }
    BrowserToolbar& toolbar() const { return *m_toolbar; }
    QSplitter& splitter() const { return *m_splitter; }
    /// What the detail column shows now under the banner.
    QWidget* content() const { return m_content; }
    /// The legend under the sidebar list.
    QWidget& legend() const { return *m_legend; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeSidebar();
    QWidget* makeLegend();
    void showContent();
    /// The playlists mode without a playlist: none yet, still loading, or out of reach.
    QWidget* makeNoPlaylist();
    /// The one place the photo grid is made for a source.
    QWidget* makeGrid(const Source& source);
    /// The places home or one level, which opens other levels through the selection.
    QWidget* makePlaces(const std::optional<PlaceQuery>& query);
    void showTitle();

    AppModel& m_model;
    BrowserServices m_services;
    // Shared by every grid this view shows, so thumbnails outlive a change of source.
    std::unique_ptr<ThumbnailLoader> m_thumbnails;
    std::unique_ptr<PhotoSheets> m_photoSheets;
    BrowserState* m_state;
    PlaylistSheets* m_sheets;
    BrowserToolbar* m_toolbar;
    QSplitter* m_splitter;
    QWidget* m_legend = nullptr;
    QVBoxLayout* m_detail = nullptr;
    QPointer<QWidget> m_content;
};

} // namespace lumi
