#pragma once

#include "model/ChoiceTable.h"

#include <QComboBox>
#include <QList>
#include <QTimer>

#include <chrono>

namespace lumi {

/// A picker over the options of one setting. Each item carries its stored value; a value in no
/// list shows no choice. Only the user's picks are reported, never a value shown from the record.
/// A pick from the open list is reported at once. Stepping with the arrow keys, a typed letter or
/// the wheel moves through the options without opening the list, so such a choice is reported
/// once it settles: after a short pause, or when the picker loses the focus or is hidden (its
/// sheet or pane closing). Stepping back to the stored value reports nothing.
class ChoicePicker final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChoicePicker)

public:
    static constexpr std::chrono::milliseconds settleDelay{600};

    ChoicePicker(const QList<ChoiceOption>& options, QWidget* parent);

    /// Every case of a setting choice, labelled as the choice labels itself.
    template <typename Choice> static QList<ChoiceOption> optionsOf()
    {
        QList<ChoiceOption> options;
        for (const Choice& choice : Choice::all())
            options.append({choice.value(), choice.label()});
        return options;
    }

    /// Selects the option with this stored value, or none. A stepped choice that has not settled
    /// yet stays shown.
    void showValue(const QString& value);
    /// The stored value of the option shown; empty when none is.
    QString shownValue() const;

signals:
    void picked(const QString& value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    /// Reports a stepped choice that is still waiting.
    void settle();

    QString m_stored;
    bool m_stepping = false;
    /// A stepped choice waits to be reported.
    bool m_waiting = false;
    QTimer m_settling;
};

} // namespace lumi
