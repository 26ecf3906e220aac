#pragma once

#include "browser/core/GridColumns.h"

#include <QAbstractButton>

namespace lumi {

/// One painted choice of the column selector: bars for a fixed count, an italic "a" for the
/// automatic setting, filled dark while it is the current choice. Its border turns to the focus
/// ring's colour while it has the keyboard focus.
class ColumnButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ColumnButton(GridColumns option, QWidget* parent = nullptr);

    GridColumns option() const { return m_option; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintBars(QPainter& painter, int count) const;
    void paintLetter(QPainter& painter) const;

    GridColumns m_option;
    bool m_hovering = false;
};

} // namespace lumi
