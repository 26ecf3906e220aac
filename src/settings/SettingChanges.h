#pragma once

#include <QCoroTask>
#include <QPointer>

#include <functional>

namespace lumi {

class Account;
class ErrorSink;

/// The stored record a settings pane shows and the changes its controls send. The pane shows the
/// record whenever it changes, and again when a change it sent has ended without the record
/// changing meanwhile, so a refused change springs back and each change shows the record once.
/// A pane that is gone by then is left alone.
class SettingChanges final
{
public:
    /// show writes the record into the pane's controls; the changes' failures go to the
    /// error sink. Lives as a member of the pane.
    SettingChanges(ErrorSink& errors, const Account& account, QObject& pane, std::function<void()> show);
    SettingChanges(const SettingChanges&) = delete;
    SettingChanges& operator=(const SettingChanges&) = delete;

    /// Sends one change, a task the pane does not wait for. settled runs when it has ended, before
    /// the record is shown, for what the pane keeps beside the record.
    void start(QCoro::Task<void> setter, std::function<void()> settled = {});
    /// Shows the record now.
    void show();

private:
    static QCoro::Task<void> showAfter(QPointer<QObject> pane, SettingChanges* changes, quint64 shownBefore,
                                       QCoro::Task<void> setter, std::function<void()> settled);

    ErrorSink& m_errors;
    QObject& m_pane;
    std::function<void()> m_show;
    quint64 m_shown = 0;
};

} // namespace lumi
