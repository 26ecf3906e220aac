#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace lumi {

/// Asks for one name in a sheet of its window: a heading, a "Name" field and the confirm button.
/// Return in the field commits whatever it holds, blanks included (the receiver checks names);
/// only the button is off for a blank name. Each sheet commits at most once, after it has closed.
class NameSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameSheet)

public:
    NameSheet(const QString& title, const QString& action, const QString& initial, QWidget* parent);

    QLineEdit& field() const { return *m_field; }
    QPushButton& confirmButton() const { return *m_confirm; }
    /// However the sheet closes, it commits nothing after.
    void done(int result) override;

signals:
    /// The text exactly as typed.
    void committed(const QString& name);

private:
    void commit();

    QLineEdit* m_field;
    QPushButton* m_confirm;
    bool m_finished = false;
};

} // namespace lumi
