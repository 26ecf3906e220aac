#include "browser/ColumnsSelector.h"

#include "browser/ColumnButton.h"

#include <QHBoxLayout>

namespace lumi {

ColumnsSelector::ColumnsSelector(GridColumns columns, QWidget* parent) : QWidget(parent), m_columns(columns)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(4);
    for (GridColumns option : GridColumns::all()) {
        auto* button = new ColumnButton(option, this);
        button->setObjectName(option.value());
        connect(button, &ColumnButton::clicked, this, [this, option] { choose(option); });
        layout->addWidget(button, 0, Qt::AlignVCenter);
        m_buttons.append(button);
    }
    setColumns(columns);
}

void ColumnsSelector::setColumns(GridColumns columns)
{
    m_columns = columns;
    for (ColumnButton* button : std::as_const(m_buttons))
        button->setChecked(button->option() == columns);
}

void ColumnsSelector::choose(GridColumns columns)
{
    // A click on the active button would otherwise uncheck it.
    const bool changed = columns != m_columns;
    setColumns(columns);
    if (changed)
        emit columnsChosen(columns);
}

} // namespace lumi
