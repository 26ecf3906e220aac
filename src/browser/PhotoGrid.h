#pragma once

#include "browser/GridLayout.h"
#include "browser/GridSelection.h"
#include "browser/GridServices.h"
#include "browser/PhotoCell.h"
#include "browser/core/GridColumns.h"
#include "browser/core/Source.h"

#include <QAbstractScrollArea>
#include <QCoroTask>
#include <QMap>

#include <optional>

class QLabel;
class QProgressBar;

namespace lumi {

class GridPages;
class GridPlaceholder;

/// The scrolling grid of one source's photos, loaded page by page as its last tile comes into
/// view. Only the rows in view and one screen either way have tiles, reused as they scroll. The
/// arrow keys walk the selection and Return plays from it, as a double-click does. In a playlist it
/// keeps marks (Ctrl-click, Shift-click, Ctrl+A, Escape) and removes the marked photos after
/// asking. Tiles' short results show as a toast for 2 s. The host reads the loaded photos and the
/// selected one through the accessors and their change signals.
class PhotoGrid final : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoGrid)

public:
    static constexpr std::chrono::seconds toastDuration{2};

    /// One grid per source: a new source needs a new grid.
    PhotoGrid(GridServices services, Source source, GridColumns columns, QWidget* parent = nullptr);
    ~PhotoGrid() override;

    const Source& source() const;
    /// The loaded photos, in the service's order.
    const QList<Medium>& media() const;
    const std::optional<Medium>& selected() const { return m_selected; }
    void setSelected(std::optional<Medium> photo);
    void setColumns(GridColumns columns);
    /// The playlist shown, as the model holds it now; none outside a playlist.
    std::optional<Album> album() const;
    bool isLoading() const;
    const GridSelection& marks() const { return m_marks; }
    /// The toast on show; empty when none.
    QString toast() const;
    /// Tiles alive, in view or kept for reuse.
    int cellCount() const { return int(m_cells.size() + m_spare.size()); }

    /// A click on a photo (the tile calls it): selects it, and in a playlist marks by the modifiers held.
    void select(const Medium& photo);
    void selectAll();
    /// Asks before removing the photos from the playlist; Shift held removes at once.
    void confirmRemove(QList<Medium> photos);
    /// The photo left the playlist.
    void photoRemoved(const Medium& photo);
    void notify(const QString& message);

signals:
    void mediaChanged();
    void selectedChanged();
    void playRequested(const lumi::Medium& photo);
    void newPlaylistRequested(const lumi::Medium& photo);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PhotoCell::Actions cellActions();
    PhotoCell::Shown shownAt(qsizetype index) const;
    QList<Medium> chosenFor(const Medium& photo) const;
    void relayout();
    void placeCells();
    void refreshCells();
    void updateOverlays();
    void askForNextPageIfLastInView(int viewTop, int viewBottom);
    /// The index of the selected photo in the list; -1 when none is selected or it left.
    qsizetype selectedIndex() const;
    /// The arrow keys: step photos on (a row is as many as the columns), scrolled into view.
    void moveSelection(int step, Qt::KeyboardModifiers modifiers);
    QCoro::Task<void> removeTask(QList<Medium> photos, Album album);
    QCoro::Task<void> clearToastLater(QString message);

    GridServices m_services;
    GridPages* m_pages;
    GridColumns m_columns;
    GridLayout m_layout;
    int m_tileHeight = 0;
    std::optional<Medium> m_selected;
    GridSelection m_marks;
    /// Tiles by the index of the photo they show.
    QMap<qsizetype, PhotoCell*> m_cells;
    QList<PhotoCell*> m_spare;
    /// The last photo that was in view, so that it asks for the next page once per coming into view.
    QString m_lastInView;
    bool m_started = false;

    GridPlaceholder* m_placeholder;
    QProgressBar* m_busy;
    QLabel* m_toast;
};

} // namespace lumi
