#include "browser/PhotoGrid.h"

#include "browser/GridPages.h"
#include "browser/GridPlaceholder.h"
#include "imaging/BundledFonts.h"
#include "model/Clock.h"
#include "state/AppModel.h"
#include "state/PlaylistEditor.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int toastBottom = 16;
constexpr int busyHeight = 24;

bool holdsShift()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace

PhotoGrid::PhotoGrid(GridServices services, Source source, GridColumns columns, QWidget* parent)
    : QAbstractScrollArea(parent), m_services(services),
      m_pages(new GridPages(services.model.account(), services.catalog, std::move(source), this)),
      m_columns(columns), m_placeholder(new GridPlaceholder(viewport())),
      m_busy(new QProgressBar(viewport())), m_toast(new QLabel(viewport()))
{
    setObjectName(u"photoGrid"_s);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setPalette(Palette::widgets());
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);

    m_busy->setObjectName(u"grid.busy"_s);
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->setFixedSize(120, 6);
    m_busy->hide();
    m_placeholder->hide();

    m_toast->setObjectName(u"grid.toast"_s);
    m_toast->setTextFormat(Qt::PlainText);
    m_toast->setFont(BundledFonts::font(13, QFont::Normal));
    m_toast->setStyleSheet(
        u"QLabel { background: rgba(245, 245, 247, 235); color: rgb(25, 23, 22);"
        u" border: 1px solid rgba(0, 0, 0, 20); border-radius: 15px; padding: 7px 14px; }"_s);
    m_toast->hide();

    connect(m_pages, &GridPages::mediaChanged, this, [this] {
        relayout();
        emit mediaChanged();
    });
    connect(m_pages, &GridPages::stateChanged, this, &PhotoGrid::updateOverlays);
    connect(m_placeholder, &GridPlaceholder::retryRequested, this,
            [this] { ViewTask::start(m_services.model, m_pages->restart()); });
    connect(&m_services.model.account(), &Account::albumsChanged, this, [this] {
        refreshCells();
        updateOverlays();
    });
    // A grid that failed for want of the service fills in by itself once the service answers.
    connect(&m_services.model, &AppModel::offlineChanged, this, [this] {
        if (!m_services.model.isOffline() && m_pages->hasFailed() && !isLoading())
            ViewTask::start(m_services.model, m_pages->restart());
        else
            updateOverlays();
    });
}

PhotoGrid::~PhotoGrid() = default;

const Source& PhotoGrid::source() const
{
    return m_pages->source();
}

const QList<Medium>& PhotoGrid::media() const
{
    return m_pages->media();
}

std::optional<Album> PhotoGrid::album() const
{
    return m_pages->album();
}

bool PhotoGrid::isLoading() const
{
    return m_pages->isLoading();
}

QString PhotoGrid::toast() const
{
    return m_toast->isVisible() ? m_toast->text() : QString();
}

void PhotoGrid::setSelected(std::optional<Medium> photo)
{
    if (m_selected == photo)
        return;
    m_selected = std::move(photo);
    refreshCells();
    emit selectedChanged();
}

void PhotoGrid::setColumns(GridColumns columns)
{
    if (m_columns == columns)
        return;
    m_columns = columns;
    relayout();
}

void PhotoGrid::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    relayout();
    ViewTask::start(m_services.model, m_pages->restart());
}

void PhotoGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void PhotoGrid::scrollContentsBy(int, int)
{
    placeCells();
}

// --- Layout and tiles ----------------------------------------------------------------------------

void PhotoGrid::relayout()
{
    m_layout = GridLayout::fit(m_columns.count(), viewport()->width());
    m_tileHeight = PhotoCell::heightFor(int(std::round(m_layout.tileWidth)));
    const int content = m_layout.contentHeight(media().size(), m_tileHeight) + (isLoading() ? busyHeight : 0);
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    placeCells();
    updateOverlays();
}

void PhotoGrid::placeCells()
{
    const QList<Medium>& photos = media();
    const int top = verticalScrollBar()->value();
    const int height = viewport()->height();
    QMap<qsizetype, PhotoCell*> kept;
    if (!photos.isEmpty() && height > 0) {
        // The rows in view and one screen either way.
        const auto [firstRow, lastRow] =
            m_layout.rowsBetween(top - height, top + 2 * height, photos.size(), m_tileHeight);
        const qsizetype first = qsizetype(firstRow) * m_layout.columns;
        const qsizetype last = std::min(photos.size(), qsizetype(lastRow + 1) * m_layout.columns) - 1;
        for (qsizetype index = first; index <= last; ++index) {
            PhotoCell* cell = m_cells.take(index);
            if (!cell)
                cell = m_spare.isEmpty() ? new PhotoCell(m_services, cellActions(), viewport())
                                         : m_spare.takeLast();
            kept.insert(index, cell);
        }
    }
    for (PhotoCell* gone : std::as_const(m_cells)) {
        gone->hide();
        // A tile out of view drops its picture request.
        gone->present({});
        m_spare.append(gone);
    }
    m_cells = kept;
    for (auto cell = m_cells.cbegin(); cell != m_cells.cend(); ++cell) {
        (*cell)->setGeometry(m_layout.tile(cell.key(), m_tileHeight).translated(0, -top));
        (*cell)->present(shownAt(cell.key()));
        (*cell)->show();
    }
    m_busy->move((viewport()->width() - m_busy->width()) / 2,
                 photos.isEmpty() ? GridLayout::padding
                                  : m_layout.contentHeight(photos.size(), m_tileHeight) -
                                        GridLayout::padding + busyHeight / 2 - top);
    askForNextPageIfLastInView(top, top + height);
}

void PhotoGrid::refreshCells()
{
    for (auto cell = m_cells.cbegin(); cell != m_cells.cend(); ++cell)
        (*cell)->present(shownAt(cell.key()));
}

void PhotoGrid::askForNextPageIfLastInView(int viewTop, int viewBottom)
{
    const QList<Medium>& photos = media();
    if (photos.isEmpty() || !isVisible())
        return;
    const QRect last = m_layout.tile(photos.size() - 1, m_tileHeight);
    if (last.bottom() < viewTop || last.top() >= viewBottom) {
        m_lastInView.clear();
        return;
    }
    if (m_lastInView == photos.last().uuid)
        return;
    m_lastInView = photos.last().uuid;
    ViewTask::start(m_services.model, m_pages->loadPage());
}

PhotoCell::Shown PhotoGrid::shownAt(qsizetype index) const
{
    const QList<Medium>& photos = media();
    const Medium& photo = photos.at(index);
    const std::optional<Album> playlist = album();
    const std::optional<int> count = m_columns.count();
    return PhotoCell::Shown{
        .medium = photo,
        .album = playlist,
        .selected = playlist ? m_marks.isMarked(photo.uuid) : (m_selected && m_selected->uuid == photo.uuid),
        .large = count && *count <= 2,
        .tourAnchor = photo.uuid == photos.first().uuid,
    };
}

PhotoCell::Actions PhotoGrid::cellActions()
{
    // Tiles call these after they are gone (a task they started ended): hold the grid weakly.
    const QPointer<PhotoGrid> self(this);
    auto on = [self](void (PhotoGrid::*action)(const Medium&)) {
        return [self, action](const Medium& photo) {
            if (self)
                (self->*action)(photo);
        };
    };
    return PhotoCell::Actions{
        .chosen =
            [self](const Medium& photo) { return self ? self->chosenFor(photo) : QList<Medium>{photo}; },
        .select = on(&PhotoGrid::select),
        .play =
            [self](const Medium& photo) {
                if (self)
                    emit self->playRequested(photo);
            },
        .newPlaylist =
            [self](const Medium& photo) {
                if (self)
                    emit self->newPlaylistRequested(photo);
            },
        .removed = on(&PhotoGrid::photoRemoved),
        .removeChosen =
            [self](const Medium& photo) {
                if (self)
                    self->confirmRemove(self->chosenFor(photo));
            },
        .selectAll =
            [self] {
                if (self)
                    self->selectAll();
            },
        .notify =
            [self](const QString& message) {
                if (self)
                    self->notify(message);
            },
    };
}

QList<Medium> PhotoGrid::chosenFor(const Medium& photo) const
{
    if (album() && m_marks.isMarked(photo.uuid))
        return m_marks.markedMedia(media());
    return {photo};
}

// --- Overlays ------------------------------------------------------------------------------------

void PhotoGrid::updateOverlays()
{
    const bool loading = isLoading();
    m_busy->setVisible(loading);
    const bool empty = media().isEmpty() && !loading && m_started;
    if (empty) {
        const bool offline = m_services.model.isOffline();
        m_placeholder->setKind(
            m_pages->hasFailed() ? (offline ? GridPlaceholder::Kind::offline : GridPlaceholder::Kind::failed)
            : album()            ? GridPlaceholder::Kind::emptyPlaylist
                                 : GridPlaceholder::Kind::empty);
        m_placeholder->move((viewport()->width() - m_placeholder->width()) / 2,
                            (viewport()->height() - m_placeholder->height()) / 2);
    }
    m_placeholder->setVisible(empty);
    const int content = m_layout.contentHeight(media().size(), m_tileHeight) + (loading ? busyHeight : 0);
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

void PhotoGrid::notify(const QString& message)
{
    m_toast->setText(message);
    m_toast->adjustSize();
    m_toast->move((viewport()->width() - m_toast->width()) / 2,
                  viewport()->height() - toastBottom - m_toast->height());
    m_toast->raise();
    m_toast->show();
    ViewTask::start(m_services.model, clearToastLater(message));
}

QCoro::Task<void> PhotoGrid::clearToastLater(QString message)
{
    const QPointer<PhotoGrid> self(this);
    co_await m_services.clock.sleep(toastDuration, CancelToken());
    // A newer message stays its own full time.
    if (self && self->m_toast->isVisible() && self->m_toast->text() == message)
        self->m_toast->hide();
}

// --- Selection and removal -----------------------------------------------------------------------

void PhotoGrid::select(const Medium& photo)
{
    setFocus(Qt::MouseFocusReason);
    if (album())
        m_marks.click(photo.uuid, QGuiApplication::queryKeyboardModifiers(), media());
    if (m_selected != photo) {
        m_selected = photo;
        emit selectedChanged();
    }
    refreshCells();
}

void PhotoGrid::selectAll()
{
    if (!album())
        return;
    m_marks.selectAll(media());
    refreshCells();
}

void PhotoGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        if (!album()) {
            event->ignore();
            return;
        }
        selectAll();
        return;
    }
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        confirmRemove(m_marks.markedMedia(media()));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        m_marks.clear();
        refreshCells();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && selectedIndex() >= 0) {
        emit playRequested(*m_selected);
        return;
    }
    const int row = std::max(1, m_layout.columns);
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -row;
        break;
    case Qt::Key_Down:
        step = row;
        break;
    default:
        break;
    }
    if (step != 0 && !media().isEmpty()) {
        moveSelection(step, event->modifiers());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

qsizetype PhotoGrid::selectedIndex() const
{
    if (!m_selected)
        return -1;
    const QList<Medium>& photos = media();
    const auto found = std::find_if(photos.cbegin(), photos.cend(),
                                    [this](const Medium& photo) { return photo.uuid == m_selected->uuid; });
    return found == photos.cend() ? -1 : qsizetype(found - photos.cbegin());
}

void PhotoGrid::moveSelection(int step, Qt::KeyboardModifiers modifiers)
{
    const QList<Medium>& photos = media();
    const qsizetype from = selectedIndex();
    // Nothing selected yet: the first arrow selects the first photo.
    const qsizetype to = from < 0 ? 0 : std::clamp<qsizetype>(from + step, 0, photos.size() - 1);
    if (to == from)
        return;
    const Medium photo = photos.at(to);
    // In a playlist an arrow marks like a click; Shift extends the marks from the anchor.
    if (album())
        m_marks.click(photo.uuid, modifiers & Qt::ShiftModifier, photos);
    m_selected = photo;
    emit selectedChanged();
    const QRect tile = m_layout.tile(to, m_tileHeight);
    QScrollBar* bar = verticalScrollBar();
    if (tile.top() - GridLayout::padding < bar->value())
        bar->setValue(tile.top() - GridLayout::padding);
    else if (tile.bottom() + GridLayout::padding > bar->value() + viewport()->height())
        bar->setValue(tile.bottom() + GridLayout::padding - viewport()->height());
    refreshCells();
}

void PhotoGrid::confirmRemove(QList<Medium> photos)
{
    const std::optional<Album> playlist = album();
    if (!playlist || photos.isEmpty())
        return;
    if (holdsShift()) {
        ViewTask::start(m_services.model, removeTask(std::move(photos), *playlist));
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Question, QString(),
                        photos.size() == 1 ? tr("Remove 1 photo from this playlist?")
                                           : tr("Remove %1 photos from this playlist?").arg(photos.size()),
                        QMessageBox::Cancel, this);
    box->setObjectName(u"grid.confirmRemove"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* remove = box->addButton(tr("Remove"), QMessageBox::DestructiveRole);
    connect(remove, &QPushButton::clicked, this, [this, photos] {
        // The playlist may have gone while the dialog was up.
        if (const std::optional<Album> playlist = album())
            ViewTask::start(m_services.model, removeTask(photos, *playlist));
    });
    box->open();
}

QCoro::Task<void> PhotoGrid::removeTask(QList<Medium> photos, Album album)
{
    // A linked folder's own files can never leave it: they are not part of the count either.
    if (album.isLinkedFolder())
        photos.removeIf([](const Medium& photo) { return photo.localPath.has_value(); });
    if (photos.isEmpty())
        co_return;
    const QPointer<PhotoGrid> self(this);
    const QList<Medium> removed = co_await m_services.playlists.removePhotos(photos, album);
    if (!self)
        co_return;
    for (const Medium& photo : removed)
        photoRemoved(photo);
    if (!removed.isEmpty() && removed.size() < photos.size())
        notify(tr("Couldn't remove %1 of them. Try again.").arg(photos.size() - removed.size()));
}

void PhotoGrid::photoRemoved(const Medium& photo)
{
    m_marks.forget(photo.uuid);
    if (m_selected && m_selected->uuid == photo.uuid) {
        m_selected.reset();
        emit selectedChanged();
    }
    m_pages->remove(photo.uuid);
}

} // namespace lumi
