#pragma once

#include "model/ChoiceTable.h"

#include <QComboBox>
#include <QList>

namespace lumi {

/// A picker over the options of one setting. Each item carries its stored value; a value in no
/// list shows no choice. Only the user's picks are reported, never a value shown from the record.
class ChoicePicker final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChoicePicker)

public:
    ChoicePicker(const QList<ChoiceOption>& options, QWidget* parent);

    /// Every case of a setting choice, labelled as the choice labels itself.
    template <typename Choice> static QList<ChoiceOption> optionsOf()
    {
        QList<ChoiceOption> options;
        for (const Choice& choice : Choice::all())
            options.append({choice.value(), choice.label()});
        return options;
    }

    /// Selects the option with this stored value, or none.
    void showValue(const QString& value);
    /// The stored value of the option shown; empty when none is.
    QString shownValue() const;

signals:
    void picked(const QString& value);
};

} // namespace lumi
