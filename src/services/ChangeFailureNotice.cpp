#include "services/ChangeFailureNotice.h"

#include "platform/Notifier.h"
#include "wallpaper/RotationEngine.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace lumi {

ChangeFailureNotice::ChangeFailureNotice(const RotationEngine& rotation, Notifier& notifier, QObject* parent)
    : QObject(parent), m_rotation(rotation), m_notifier(notifier)
{
    connect(&rotation, &RotationEngine::failureChanged, this, &ChangeFailureNotice::failureChanged);
    connect(&notifier, &Notifier::clicked, this, [this](uint id) {
        if (id != 0 && id == m_shownId)
            emit opened();
    });
}

ChangeFailureNotice::~ChangeFailureNotice() = default;

void ChangeFailureNotice::failureChanged()
{
    if (const std::optional<QString> reason = m_rotation.failure())
        post(*reason);
}

QCoro::Task<void> ChangeFailureNotice::post(QString reason)
{
    const QPointer<ChangeFailureNotice> self(this);
    Notifier& notifier = m_notifier;
    const Notifier::Posted posted = co_await notifier.post(
        tr("Your wallpaper isn't changing"), reason + u' ' + tr("Lumivale keeps trying."), QString());
    if (!self)
        co_return;
    if (!posted.error.isEmpty()) {
        m_log.info(u"wallpaper changes keep failing; not told: "_s + posted.error);
        co_return;
    }
    m_shownId = posted.id;
    m_log.info(u"wallpaper changes keep failing; told the desktop"_s);
}

} // namespace lumi
