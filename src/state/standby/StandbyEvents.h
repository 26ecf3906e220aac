#pragma once

#include "state/EventSink.h"

namespace lumi {

/// Stands in for the analytics tracker until it is built: events are dropped.
class StandbyEvents final : public EventSink
{
public:
    void start() override {}
    void track(QString, QMap<QString, QString>) override {}
    void startNewSession() override {}
};

} // namespace lumi
