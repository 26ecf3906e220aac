#include "settings/ChoicePicker.h"

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
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit picked(itemData(index).toString()); });
}

void ChoicePicker::showValue(const QString& value)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(value));
}

QString ChoicePicker::shownValue() const
{
    return currentIndex() < 0 ? QString() : currentData().toString();
}

} // namespace lumi
