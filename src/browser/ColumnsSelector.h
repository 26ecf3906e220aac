#pragma once

#include "browser/core/GridColumns.h"

#include <QList>
#include <QWidget>

namespace lumi {

class ColumnButton;

/// The toolbar's row of column choices, one button per setting in order; a click chooses it.
class ColumnsSelector final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColumnsSelector)

public:
    explicit ColumnsSelector(GridColumns columns, QWidget* parent = nullptr);

    GridColumns columns() const { return m_columns; }
    /// Shows another choice without emitting `columnsChosen`.
    void setColumns(GridColumns columns);

signals:
    /// The user clicked the button of another choice.
    void columnsChosen(lumi::GridColumns columns);

private:
    void choose(GridColumns columns);

    GridColumns m_columns;
    QList<ColumnButton*> m_buttons;
};

} // namespace lumi
