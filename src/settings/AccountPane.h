#pragma once

#include "model/ChoiceTable.h"

#include <QCoroTask>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace lumi {

class Account;
class ChoicePicker;
class ErrorSink;
class SettingChanges;
struct User;

/// A pane of account settings: its controls while someone is signed in, one line of text in their
/// place otherwise. The controls show the user record, again after each change of it and after
/// each change the pane sent that left it as it was, so they end on what the server stored.
class AccountPane : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountPane)

public:
    ~AccountPane() override;

protected:
    AccountPane(ErrorSink& errors, const Account& account, const QString& signedOutText, QWidget* parent);

    /// The controls' column.
    QVBoxLayout& controls() const { return *m_controls; }
    /// Writes the record into the controls; the pane calls it with their signals blocked.
    virtual void showUser(const User& user) = 0;
    /// Shows what is stored now; the subclass's constructor calls it last.
    void refresh();

    /// A toggle whose clicks send one setter.
    QCheckBox* makeToggle(const QString& name, const QString& title,
                          std::function<QCoro::Task<void>(bool)> setter);
    /// A picker whose picks send one setter.
    ChoicePicker* makePicker(const QString& name, const QList<ChoiceOption>& options,
                             std::function<QCoro::Task<void>(QString)> setter);
    /// A picker on a row after its label.
    ChoicePicker* addPicker(const QString& name, const QString& label, const QList<ChoiceOption>& options,
                            std::function<QCoro::Task<void>(QString)> setter);

private:
    void showRecord();
    void send(QCoro::Task<void> setter);

    const Account& m_account;
    std::unique_ptr<SettingChanges> m_changes;
    QLabel* m_signedOut = nullptr;
    QWidget* m_controlsBox = nullptr;
    QVBoxLayout* m_controls = nullptr;
};

} // namespace lumi
