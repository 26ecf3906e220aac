#pragma once

#include "state/AppTakeover.h"

namespace lumi {

class Account;
class Defaults;
class EventSink;

/// Reports the take-over of the older app as "desktop-replaced" with what the take-over and the
/// carry-over recorded, once a user is signed in; until then the record waits for a later start.
class DesktopReplacedEvent final : public AppTakeover
{
public:
    DesktopReplacedEvent(Defaults& defaults, const Account& account, EventSink& events);

    void postReplacedEvent() override;

private:
    Defaults& m_defaults;
    const Account& m_account;
    EventSink& m_events;
};

} // namespace lumi
