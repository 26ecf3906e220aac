#pragma once

#include <QAbstractButton>

namespace lumi {

/// One choice of the calendar set-up sheet: its label on a white rounded card, edged dark when it
/// is the current choice.
class ThemeTile final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThemeTile)

public:
    explicit ThemeTile(const QString& label, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lumi
