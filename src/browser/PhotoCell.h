#pragma once

#include "browser/GridServices.h"
#include "browser/ThumbnailLoader.h"
#include "model/Album.h"
#include "model/Medium.h"
#include "platform/DisplayInfo.h"

#include <QCoroTask>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;

namespace lumi {

class TourAnchor;

/// One tile of the photo grid: the 16:9 picture, the title, and the buttons and context menu that
/// set the photo as wallpaper, star it, add it to a playlist, share it, open its page, show its
/// file and remove it. A click selects, a double click plays, a drag carries the chosen photos to
/// a playlist. The grid reuses tiles as it scrolls: present() shows another photo with fresh state,
/// and what a running action reports goes to the grid for the photo it started on.
class PhotoCell final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoCell)

public:
    /// How the tile reports to its grid, for the photo an action began on; they may be called
    /// after the tile is gone.
    struct Actions
    {
        /// The photos a drag carries and the multi-photo removal counts.
        std::function<QList<Medium>(const Medium&)> chosen;
        std::function<void(const Medium&)> select;
        std::function<void(const Medium&)> play;
        std::function<void(const Medium&)> newPlaylist;
        /// The photo left the shown playlist.
        std::function<void(const Medium&)> removed;
        /// Asks the grid to remove the chosen photos (it confirms first).
        std::function<void(const Medium&)> removeChosen;
        std::function<void()> selectAll;
        std::function<void(const QString&)> notify;
    };

    /// What the grid decides for a tile.
    struct Shown
    {
        Medium medium{};
        /// The playlist the grid shows; none for a catalog listing.
        std::optional<Album> album{};
        bool selected = false;
        /// The full image instead of the thumbnail.
        bool large = false;
        bool tourAnchor = false;
    };

    static constexpr int spacing = 10;
    static constexpr int buttonSize = 28;

    PhotoCell(GridServices services, Actions actions, QWidget* parent = nullptr);
    ~PhotoCell() override;

    /// A new photo starts with fresh flags and its own picture; the same photo keeps them.
    void present(Shown shown);
    const Shown& shown() const { return m_shown; }
    /// The height of a tile this wide.
    static int heightFor(int width);
    QRect pictureRect() const;
    /// The picture on show; null while it loads or when it failed.
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool isLocal() const { return m_shown.medium.localPath.has_value(); }
    bool isFavorite() const;
    void updateButtons();
    void updateTitle();
    void requestPicture();
    void cancelPicture();
    QMenu* buildMenu();

    void setAsWallpaper();
    void toggleFavorite();
    void choosePlaylist();
    void share();
    void removeThis();
    void removeLocal();
    void startSetting(std::optional<QList<DisplayInfo>> displays);

    QCoro::Task<void> setWallpaperTask(Medium medium, std::optional<Album> album,
                                       std::optional<QList<DisplayInfo>> displays,
                                       std::function<void(const QString&)> notify);
    /// Sets working while the operation runs; then runs succeeded on success.
    QCoro::Task<void> whileWorking(QCoro::Task<bool> operation, std::function<void()> succeeded);
    void setWorking(bool working);
    void setSettingWallpaper(bool setting);

    GridServices m_services;
    Actions m_actions;
    Shown m_shown;
    /// Counts presentations, so that a running action leaves a reused tile's flags alone.
    quint64 m_generation = 0;
    bool m_working = false;
    bool m_settingWallpaper = false;

    QImage m_picture;
    bool m_pictureFailed = false;
    ThumbnailLoader::Ticket m_ticket = 0;
    QUrl m_pictureUrl;
    QSize m_pictureSize;

    QPoint m_pressPosition;
    /// The press was on a marked tile: it selects when released without a drag.
    bool m_selectOnRelease = false;
    QLabel* m_title;
    QWidget* m_row;
    QToolButton* m_wallpaper;
    QProgressBar* m_wallpaperBusy;
    QToolButton* m_favorite;
    QToolButton* m_add;
    QToolButton* m_share;
    QToolButton* m_remove;
    TourAnchor* m_tour;
};

} // namespace lumi
