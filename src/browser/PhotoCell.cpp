#include "browser/PhotoCell.h"

#include "browser/PhotoDragSource.h"
#include "browser/PhotoSheets.h"
#include "browser/PlaylistPicker.h"
#include "imaging/BundledFonts.h"
#include "imaging/PhotoDecoder.h"
#include "platform/FileRevealer.h"
#include "platform/LinkOpener.h"
#include "platform/Screens.h"
#include "state/AppModel.h"
#include "state/PlaylistEditor.h"
#include "wallpaper/DisplayChoice.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"
#include "widgets/TourAnchor.h"
#include "widgets/ViewTask.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QToolButton>
#include <QToolTip>

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr qreal cornerRadius = 12;
constexpr int selectionWidth = 3;
constexpr int iconSize = 17;

QFont titleFont()
{
    return BundledFonts::font(14, QFont::Normal);
}

int pictureHeight(int width)
{
    return int(std::lround(width * 9.0 / 16.0));
}

// The star is drawn, not themed: its fill is the app's own amber.
QIcon starIcon(bool filled)
{
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(iconSize, iconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    const QPointF centre(iconSize / 2.0, iconSize / 2.0 + 0.5);
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? iconSize * 0.22 : iconSize * 0.48;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point = centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
        i ? star.lineTo(point) : star.moveTo(point);
    }
    star.closeSubpath();
    if (filled) {
        painter.fillPath(star, Palette::amber());
    } else {
        painter.setPen(QPen(Palette::muted(), 1.4));
        painter.drawPath(star);
    }
    return QIcon(pixmap);
}

QToolButton* actionButton(const QString& name, const QIcon& icon, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setFixedSize(PhotoCell::buttonSize, PhotoCell::buttonSize);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

struct CellIcons
{
    QIcon wallpaper;
    QIcon add;
    QIcon share;
    QIcon remove;
    QIcon failed;
    QIcon star;
    QIcon starFilled;
};

// Tiles come and go as the grid scrolls. The style builds a new icon on every call, its pictures
// read at three sizes (some 200 KB a tile), and a new star on every presentation is a new entry in
// the pixmap cache, which fills to its limit with stars: all tiles share one set instead.
const CellIcons& cellIcons()
{
    static const CellIcons icons{
        .wallpaper = SymbolIcon::themed(u"preferences-desktop-wallpaper"_s, u"menubar.dock.rectangle"_s),
        .add = SymbolIcon::themed(u"list-add"_s, u"plus.square"_s),
        .share = SymbolIcon::themed(u"document-send"_s, u"square.and.arrow.up"_s),
        .remove = SymbolIcon::themed(u"list-remove"_s, u"minus.square"_s),
        .failed = SymbolIcon::themed(u"image-x-generic"_s, u"photo"_s),
        .star = starIcon(false),
        .starFilled = starIcon(true),
    };
    return icons;
}

// A picture still loading: grey at 12 % over the white grid, as one opaque colour.
constexpr QColor loadingGrey(240, 240, 240);
// How far the shadow reaches past the picture.
constexpr int frameMargin = 3;

// Everything of a tile's picture but the photo: the shadow below it, the white beyond its rounded
// corners and the selection border, with a clear hole where the photo shows. Every tile of a grid
// has the same size, so one frame serves them all. Painting a tile is then two plain copies of
// pixels: clipping to a rounded path and filling antialiased paths split each tile's drawing over
// the raster engine's threads, and on a busy machine waiting for them made a repaint overrun a frame.
QImage drawTileFrame(QSize size, qreal ratio, bool selected)
{
    const QRectF picture(frameMargin, frameMargin, size.width(), size.height());
    QImage frame((size + QSize(2 * frameMargin, 2 * frameMargin)) * ratio,
                 QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(ratio);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(picture, Qt::white);
    // A soft shadow below the picture, by a few faint strokes rather than a blur.
    for (int i = 1; i <= 3; ++i) {
        QPainterPath halo;
        halo.addRoundedRect(picture.adjusted(-i / 2.0, 3 - i / 2.0, i / 2.0, i / 2.0), cornerRadius + i,
                            cornerRadius + i);
        painter.fillPath(halo, QColor(0, 0, 0, 9));
    }
    QPainterPath rounded;
    rounded.addRoundedRect(picture, cornerRadius, cornerRadius);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(rounded, Qt::black);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (selected) {
        QPainterPath inner;
        const qreal half = selectionWidth / 2.0;
        inner.addRoundedRect(picture.adjusted(half, half, -half, -half), cornerRadius - half,
                             cornerRadius - half);
        painter.setPen(QPen(Palette::dark(), selectionWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(inner);
    }
    return frame;
}

const QImage& tileFrame(QSize size, qreal ratio, bool selected)
{
    struct Key
    {
        QSize size;
        qreal ratio;
        bool selected;
        bool operator==(const Key&) const = default;
    };
    // A handful of sizes at most: the columns of one layout differ by a pixel of rounding.
    static QList<std::pair<Key, QImage>> frames;
    const Key key{size, ratio, selected};
    for (const auto& [held, frame] : std::as_const(frames)) {
        if (held == key)
            return frame;
    }
    if (frames.size() >= 8)
        frames.removeFirst();
    frames.append({key, drawTileFrame(size, ratio, selected)});
    return frames.constLast().second;
}

} // namespace

PhotoCell::PhotoCell(GridServices services, Actions actions, QWidget* parent)
    : QWidget(parent), m_services(services), m_actions(std::move(actions)), m_title(new QLabel(this)),
      m_row(new QWidget(this)),
      m_wallpaper(actionButton(u"cell.wallpaper"_s, cellIcons().wallpaper, tr("Wallpaper"), m_row)),
      m_wallpaperBusy(new QProgressBar(m_row)),
      m_favorite(actionButton(u"cell.favorite"_s, cellIcons().star, tr("Favorite"), m_row)),
      m_add(actionButton(u"cell.add"_s, cellIcons().add, tr("Add to Playlist"), m_row)),
      m_share(actionButton(u"cell.share"_s, cellIcons().share, tr("Share"), m_row)),
      m_remove(actionButton(u"cell.remove"_s, cellIcons().remove, tr("Remove from Playlist"), m_row)),
      m_tour(new TourAnchor(services.guidance, *m_row, 1, TourAnchor::Edge::bottom, false))
{
    setFocusPolicy(Qt::NoFocus);
    // Titles come from the service: text, never markup.
    m_title->setTextFormat(Qt::PlainText);
    m_title->setFont(titleFont());
    QPalette ink = m_title->palette();
    ink.setColor(QPalette::WindowText, Palette::dark());
    m_title->setPalette(ink);

    m_wallpaperBusy->setObjectName(u"cell.wallpaperBusy"_s);
    m_wallpaperBusy->setRange(0, 0);
    m_wallpaperBusy->setTextVisible(false);
    m_wallpaperBusy->setFixedSize(buttonSize, 6);
    m_wallpaperBusy->hide();

    auto* row = new QHBoxLayout(m_row);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(18);
    for (QWidget* widget : {static_cast<QWidget*>(m_wallpaper), static_cast<QWidget*>(m_wallpaperBusy),
                            static_cast<QWidget*>(m_favorite), static_cast<QWidget*>(m_add),
                            static_cast<QWidget*>(m_share), static_cast<QWidget*>(m_remove)})
        row->addWidget(widget);
    row->addStretch();
    QPalette muted = m_row->palette();
    muted.setColor(QPalette::ButtonText, Palette::muted());
    m_row->setPalette(muted);

    connect(m_wallpaper, &QToolButton::clicked, this, &PhotoCell::setAsWallpaper);
    connect(m_favorite, &QToolButton::clicked, this, &PhotoCell::toggleFavorite);
    connect(m_add, &QToolButton::clicked, this, &PhotoCell::choosePlaylist);
    connect(m_share, &QToolButton::clicked, this, &PhotoCell::share);
    connect(m_remove, &QToolButton::clicked, this, &PhotoCell::removeThis);
    connect(&services.model, &AppModel::favoriteUUIDsChanged, this, &PhotoCell::updateButtons);
}

PhotoCell::~PhotoCell()
{
    cancelPicture();
}

void PhotoCell::present(Shown shown)
{
    const bool samePhoto = shown.medium == m_shown.medium;
    const bool sameSource = samePhoto && shown.large == m_shown.large;
    m_shown = std::move(shown);
    if (!samePhoto) {
        ++m_generation;
        m_selectOnRelease = false;
        m_working = false;
        m_settingWallpaper = false;
    }
    if (!sameSource) {
        cancelPicture();
        m_services.thumbnails.release(std::exchange(m_picture, QImage()));
        m_pictureFailed = false;
        m_pictureUrl = QUrl();
    }
    m_tour->setActive(m_shown.tourAnchor);
    updateTitle();
    updateButtons();
    requestPicture();
    update();
}

int PhotoCell::heightFor(int width)
{
    return pictureHeight(width) + spacing + QFontMetrics(titleFont()).height() + spacing + buttonSize;
}

QRect PhotoCell::pictureRect() const
{
    return QRect(0, 0, width(), pictureHeight(width()));
}

bool PhotoCell::isFavorite() const
{
    return m_services.model.favoriteUUIDs().contains(m_shown.medium.uuid);
}

void PhotoCell::updateButtons()
{
    const bool local = isLocal();
    const std::optional<Album>& album = m_shown.album;
    m_favorite->setVisible(!local);
    m_favorite->setIcon(isFavorite() ? cellIcons().starFilled : cellIcons().star);
    m_add->setVisible(!local);
    m_share->setVisible(!local);
    m_remove->setVisible(album && !album->isFavorites() && !(local && album->isLinkedFolder()));
    m_wallpaper->setVisible(!m_settingWallpaper);
    m_wallpaperBusy->setVisible(m_settingWallpaper);
    m_row->setEnabled(!m_working);
}

void PhotoCell::updateTitle()
{
    const QString title = m_shown.medium.displayTitle();
    m_title->setText(m_title->fontMetrics().elidedText(title, Qt::ElideRight, std::max(0, width())));
    m_title->setToolTip(title);
}

void PhotoCell::resizeEvent(QResizeEvent*)
{
    const QRect picture = pictureRect();
    const int titleHeight = QFontMetrics(titleFont()).height();
    m_title->setGeometry(0, picture.bottom() + 1 + spacing, width(), titleHeight);
    m_row->setGeometry(0, m_title->geometry().bottom() + 1 + spacing, width(), buttonSize);
    updateTitle();
    requestPicture();
}

void PhotoCell::requestPicture()
{
    const std::optional<QUrl> url = m_shown.large ? m_shown.medium.imageURL() : m_shown.medium.thumbnailURL();
    const QSize pixels = pictureRect().size() * devicePixelRatioF();
    if (!url || pixels.isEmpty()) {
        cancelPicture();
        m_pictureFailed = !url;
        return;
    }
    if (*url == m_pictureUrl && pixels == m_pictureSize)
        return;
    cancelPicture();
    m_pictureUrl = *url;
    m_pictureSize = pixels;
    const QPointer<PhotoCell> self(this);
    const quint64 generation = m_generation;
    m_ticket = m_services.thumbnails.load(*url, pixels, [self, generation](const QImage& image) {
        if (!self || self->m_generation != generation)
            return;
        self->m_ticket = 0;
        if (!image.isNull() || self->m_picture.isNull()) {
            self->m_services.thumbnails.release(std::exchange(self->m_picture, image));
            self->m_pictureFailed = image.isNull();
        }
        self->update();
    });
}

void PhotoCell::cancelPicture()
{
    if (m_ticket)
        m_services.thumbnails.cancel(m_ticket);
    m_ticket = 0;
}

void PhotoCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect picture = pictureRect();
    if (!m_picture.isNull()) {
        const QRectF target =
            PhotoDecoder::coverRect(picture.size(), m_picture.size()).translated(picture.topLeft());
        // Smoothing sends even an unscaled copy down the raster engine's threaded path: only a
        // picture decoded for another size (the tile was just resized) needs it.
        painter.setRenderHint(QPainter::SmoothPixmapTransform,
                              target.size() * devicePixelRatioF() != QSizeF(m_picture.size()));
        painter.drawImage(target, m_picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    } else if (m_pictureFailed) {
        painter.fillRect(picture, Qt::white);
        const QRect icon(QPoint(0, 0), QSize(32, 32));
        cellIcons().failed.paint(&painter, icon.translated(picture.center() - icon.center()), Qt::AlignCenter,
                                 QIcon::Disabled);
    } else {
        painter.fillRect(picture, loadingGrey);
    }
    // Only the frame's edges hold pixels: blending the clear middle too would cost as much again.
    const QImage& frame = tileFrame(picture.size(), devicePixelRatioF(), m_shown.selected);
    const QPoint origin = picture.topLeft() - QPoint(frameMargin, frameMargin);
    const int edge = frameMargin + int(cornerRadius);
    const QSize outer = picture.size() + QSize(2 * frameMargin, 2 * frameMargin);
    const QRect bands[] = {
        QRect(0, 0, outer.width(), edge),
        QRect(0, outer.height() - edge, outer.width(), edge),
        QRect(0, edge, edge, outer.height() - 2 * edge),
        QRect(outer.width() - edge, edge, edge, outer.height() - 2 * edge),
    };
    const qreal ratio = frame.devicePixelRatio();
    for (const QRect& band : bands) {
        painter.drawImage(band.translated(origin), frame,
                          QRectF(band.topLeft() * ratio, band.size() * ratio));
    }
}

void PhotoCell::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pictureRect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressPosition = event->position().toPoint();
    // A press on a marked tile may start a drag of every mark: a plain click narrows the marks to
    // this photo only when the button comes up without a drag.
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier));
    m_selectOnRelease = plain && m_shown.album && m_shown.selected;
    if (!m_selectOnRelease)
        m_actions.select(m_shown.medium);
}

void PhotoCell::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && std::exchange(m_selectOnRelease, false))
        m_actions.select(m_shown.medium);
    QWidget::mouseReleaseEvent(event);
}

void PhotoCell::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_shown.album || isLocal() ||
        (event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    m_selectOnRelease = false;
    QList<Medium> photos;
    for (const Medium& photo : m_actions.chosen(m_shown.medium)) {
        if (!photo.localPath)
            photos.append(photo);
    }
    PhotoDragSource::start(this, photos, m_picture);
}

void PhotoCell::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pictureRect().contains(event->position().toPoint()))
        m_actions.play(m_shown.medium);
}

bool PhotoCell::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (pictureRect().contains(help->pos())) {
            QToolTip::showText(help->globalPos(), tr("Double-click to play from this photo"), this);
            return true;
        }
    }
    return QWidget::event(event);
}

void PhotoCell::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = buildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* PhotoCell::buildMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(u"cell.menu"_s);
    menu->addAction(tr("Set as Wallpaper"), this, &PhotoCell::setAsWallpaper);
    const std::optional<Album>& album = m_shown.album;
    if (isLocal()) {
        if (const QString path = m_shown.medium.localPath.value_or(QString()); !path.isEmpty()) {
            FileRevealer& revealer = m_services.revealer;
            menu->addAction(tr("Show in File Manager"), this,
                            [&revealer, path] { revealer.revealFile(path); });
        }
        if (album && !album->isLinkedFolder()) {
            menu->addSeparator();
            menu->addAction(tr("Remove from Playlist"), this, &PhotoCell::removeLocal);
        }
        return menu;
    }
    menu->addAction(isFavorite() ? tr("Remove from Favorites") : tr("Add to Favorites"), this,
                    &PhotoCell::toggleFavorite);
    menu->addAction(tr("Add to Playlist…"), this, &PhotoCell::choosePlaylist);
    menu->addAction(tr("Share…"), this, &PhotoCell::share);
    if (const std::optional<QUrl> link = m_shown.medium.sourceLink()) {
        LinkOpener& links = m_services.links;
        menu->addAction(tr("Open Photo Page"), this, [&links, url = *link] { links.open(url); });
    }
    if (album) {
        menu->addSeparator();
        const qsizetype chosen = m_actions.chosen(m_shown.medium).size();
        const QString label =
            chosen >= 2 ? tr("Remove %1 Photos from Playlist").arg(chosen) : tr("Remove from Playlist");
        menu->addAction(label, this, [removeChosen = m_actions.removeChosen, medium = m_shown.medium] {
            removeChosen(medium);
        });
        menu->addAction(tr("Select All"), this, [selectAll = m_actions.selectAll] { selectAll(); });
    }
    return menu;
}

void PhotoCell::setAsWallpaper()
{
    const QList<DisplayInfo> displays = m_services.screens.displays();
    const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    if (displays.size() >= 2 && (DisplayChoice::showDialog(m_services.defaults) || shift)) {
        const QPointer<PhotoCell> self(this);
        const quint64 generation = m_generation;
        m_services.sheets.chooseDisplays(window(), [self, generation](QList<DisplayInfo> chosen) {
            if (self && self->m_generation == generation)
                self->startSetting(std::move(chosen));
        });
        return;
    }
    std::optional<QList<DisplayInfo>> target;
    if (displays.size() >= 2)
        target = DisplayChoice::enabledDisplays(m_services.defaults, displays);
    startSetting(std::move(target));
}

void PhotoCell::startSetting(std::optional<QList<DisplayInfo>> displays)
{
    ViewTask::start(m_services.model,
                    setWallpaperTask(m_shown.medium, m_shown.album, std::move(displays), m_actions.notify));
}

QCoro::Task<void> PhotoCell::setWallpaperTask(Medium medium, std::optional<Album> album,
                                              std::optional<QList<DisplayInfo>> displays,
                                              std::function<void(const QString&)> notify)
{
    const QPointer<PhotoCell> self(this);
    const quint64 generation = m_generation;
    PlaylistEditor& playlists = m_services.playlists;
    setSettingWallpaper(true);
    const bool set =
        co_await playlists.setAsWallpaper(std::move(medium), std::move(album), std::move(displays));
    if (set)
        notify(tr("Set as your wallpaper"));
    if (self && self->m_generation == generation)
        self->setSettingWallpaper(false);
}

void PhotoCell::toggleFavorite()
{
    const Medium medium = m_shown.medium;
    const bool leavesGrid = isFavorite() && m_shown.album && m_shown.album->isFavorites();
    ViewTask::start(m_services.model, whileWorking(m_services.playlists.toggleFavorite(medium),
                                                   [removed = m_actions.removed, medium, leavesGrid] {
                                                       if (leavesGrid)
                                                           removed(medium);
                                                   }));
}

void PhotoCell::choosePlaylist()
{
    auto* picker = new PlaylistPicker(m_services.model.account(), m_shown.album, this);
    const Medium medium = m_shown.medium;
    connect(picker, &PlaylistPicker::chosen, this, [this, picker, medium](const Album& album) {
        picker->close();
        ViewTask::start(m_services.model, whileWorking(m_services.playlists.addToPlaylist(medium, album),
                                                       [notify = m_actions.notify, title = album.title] {
                                                           notify(tr("Added to %1").arg(title));
                                                       }));
    });
    connect(picker, &PlaylistPicker::newPlaylistRequested, this, [this, picker, medium] {
        picker->close();
        m_actions.newPlaylist(medium);
    });
    picker->popUp(*m_add);
}

void PhotoCell::share()
{
    m_services.sheets.share(window(), m_shown.medium,
                            [notify = m_actions.notify](const QString& sent) { notify(sent); });
}

void PhotoCell::removeThis()
{
    if (isLocal()) {
        removeLocal();
        return;
    }
    if (!m_shown.album)
        return;
    const Medium medium = m_shown.medium;
    ViewTask::start(m_services.model,
                    whileWorking(m_services.playlists.removeFromPlaylist(medium, *m_shown.album),
                                 [removed = m_actions.removed, medium] { removed(medium); }));
}

void PhotoCell::removeLocal()
{
    // The model moves the file to the trash at once; nothing to wait for.
    if (m_services.playlists.removeLocalPhoto(m_shown.medium))
        m_actions.removed(m_shown.medium);
}

QCoro::Task<void> PhotoCell::whileWorking(QCoro::Task<bool> operation, std::function<void()> succeeded)
{
    const QPointer<PhotoCell> self(this);
    const quint64 generation = m_generation;
    setWorking(true);
    const bool done = co_await std::move(operation);
    if (self && self->m_generation == generation)
        self->setWorking(false);
    if (done)
        succeeded();
}

void PhotoCell::setWorking(bool working)
{
    m_working = working;
    updateButtons();
}

void PhotoCell::setSettingWallpaper(bool setting)
{
    m_settingWallpaper = setting;
    updateButtons();
}

} // namespace lumi
