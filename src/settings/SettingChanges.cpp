#include "settings/SettingChanges.h"

#include "model/Account.h"
#include "widgets/ViewTask.h"

#include <QObject>

#include <exception>

namespace lumi {

SettingChanges::SettingChanges(ErrorSink& errors, const Account& account, QObject& pane,
                               std::function<void()> show)
    : m_errors(errors), m_pane(pane), m_show(std::move(show))
{
    QObject::connect(&account, &Account::userChanged, &pane, [this] { this->show(); });
    QObject::connect(&account, &Account::signedInChanged, &pane, [this] { this->show(); });
}

void SettingChanges::start(QCoro::Task<void> setter, std::function<void()> settled)
{
    ViewTask::start(m_errors, showAfter(QPointer<QObject>(&m_pane), this, m_shown, std::move(setter),
                                        std::move(settled)));
}

void SettingChanges::show()
{
    ++m_shown;
    m_show();
}

QCoro::Task<void> SettingChanges::showAfter(QPointer<QObject> pane, SettingChanges* changes,
                                            quint64 shownBefore, QCoro::Task<void> setter,
                                            std::function<void()> settled)
{
    std::exception_ptr failure;
    try {
        co_await setter;
    } catch (...) {
        failure = std::current_exception();
    }
    // The changes live as long as their pane.
    if (pane) {
        if (settled)
            settled();
        // A change of the record showed it already.
        if (changes->m_shown == shownBefore)
            changes->show();
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace lumi
