#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lumi {

/// Asks for one name in a sheet of its window: a heading, a "Name" field and the confirm button.
/// Return in the field commits whatever it holds, blanks included (the receiver checks names);
/// only the button is off for a blank name. Each sheet commits at most once, after it has closed.
/// A name its check refuses is not committed: the sheet stays open with the text as typed and the
/// check's message under the field.
class NameSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameSheet)

public:
    /// Why a name cannot be taken; none when it can.
    using Check = std::function<std::optional<QString>(const QString& name)>;

    NameSheet(const QString& title, const QString& action, const QString& initial, QWidget* parent);

    void setCheck(Check check) { m_check = std::move(check); }
    QLineEdit& field() const { return *m_field; }
    QPushButton& confirmButton() const { return *m_confirm; }
    /// The check's message for the last name refused; hidden while there is none.
    QLabel& message() const { return *m_message; }
    /// However the sheet closes, it commits nothing after.
    void done(int result) override;

signals:
    /// The text exactly as typed.
    void committed(const QString& name);

private:
    void commit();

    QLineEdit* m_field;
    QPushButton* m_confirm;
    QLabel* m_message;
    Check m_check;
    bool m_finished = false;
};

} // namespace lumi
