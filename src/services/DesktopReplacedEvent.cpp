#include "services/DesktopReplacedEvent.h"

#include "model/Account.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "state/EventSink.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi {

DesktopReplacedEvent::DesktopReplacedEvent(Defaults& defaults, const Account& account, EventSink& events)
    : m_defaults(defaults), m_account(account), m_events(events)
{
}

void DesktopReplacedEvent::postReplacedEvent()
{
    const std::optional<QVariantMap> pending = m_defaults.mapValue(keys::desktopReplacedPending);
    if (!pending || !m_account.isSignedIn())
        return;
    QJsonObject properties = QJsonObject::fromVariantMap(*pending);
    if (!properties.contains(u"migrated"_s))
        properties.insert(u"migrated"_s, false);
    m_events.track(u"desktop-replaced"_s, properties);
    m_defaults.remove(keys::desktopReplacedPending);
}

} // namespace lumi
