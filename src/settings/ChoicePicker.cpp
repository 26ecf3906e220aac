#include "settings/ChoicePicker.h"

#include <QFocusEvent>
#include <QSignalBlocker>

namespace lumi {

namespace {

constexpr int widest = 360;

} // namespace

ChoicePicker::ChoicePicker(const QList<ChoiceOption>& options, QWidget* parent) : QComboBox(parent)
{
    setMaximumWidth(widest);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const ChoiceOption& option : options)
        addItem(option.label, option.value);
    m_settling.setSingleShot(true);
    m_settling.setInterval(settleDelay);
    connect(&m_settling, &QTimer::timeout, this, &ChoicePicker::settle);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_stepping) {
            m_waiting = true;
            m_settling.start();
            return;
        }
        m_waiting = false;
        m_settling.stop();
        emit picked(itemData(index).toString());
    });
}

void ChoicePicker::showValue(const QString& value)
{
    m_stored = value;
    if (m_waiting)
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(value));
}

QString ChoicePicker::shownValue() const
{
    return currentIndex() < 0 ? QString() : currentData().toString();
}

void ChoicePicker::keyPressEvent(QKeyEvent* event)
{
    m_stepping = true;
    QComboBox::keyPressEvent(event);
    m_stepping = false;
}

void ChoicePicker::wheelEvent(QWheelEvent* event)
{
    m_stepping = true;
    QComboBox::wheelEvent(event);
    m_stepping = false;
}

void ChoicePicker::focusOutEvent(QFocusEvent* event)
{
    // Opening the list takes the focus for a while; the choice is still being made.
    if (event->reason() != Qt::PopupFocusReason)
        settle();
    QComboBox::focusOutEvent(event);
}

void ChoicePicker::hideEvent(QHideEvent* event)
{
    settle();
    QComboBox::hideEvent(event);
}

void ChoicePicker::settle()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_settling.stop();
    const QString value = shownValue();
    if (value != m_stored)
        emit picked(value);
}

} // namespace lumi
