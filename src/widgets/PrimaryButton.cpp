#include "widgets/PrimaryButton.h"

#include "widgets/Palette.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int spinnerSize = 14;

} // namespace

PrimaryButton::PrimaryButton(const QString& title, QWidget* parent) : QPushButton(title, parent)
{
    const QColor tint = Palette::dark();
    setStyleSheet(u"QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                  " padding: 8px 14px; min-height: 20px; }"
                  " QPushButton:pressed { background: %2; }"
                  " QPushButton:disabled { background: %3; color: rgba(255, 255, 255, 160); }"_s.arg(
                      tint.name(), tint.lighter(160).name(), QColor(25, 23, 22, 90).name(QColor::HexArgb)));
    setCursor(Qt::PointingHandCursor);
    m_spin.setInterval(80);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void PrimaryButton::setBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    // The timer runs only while the spinner shows.
    if (busy)
        m_spin.start();
    else
        m_spin.stop();
    update();
}

void PrimaryButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!m_busy)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 2, Qt::SolidLine, Qt::RoundCap));
    const QRectF spinner(12, (height() - spinnerSize) / 2.0, spinnerSize, spinnerSize);
    painter.drawArc(spinner, -m_angle * 16, 270 * 16);
}

} // namespace lumi
