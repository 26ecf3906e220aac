#pragma once

#include "state/EventSink.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the analytics tracker: records events as
/// "events.track(<name>,<key>=<value>,...)".
class RecordingEvents final : public EventSink
{
public:
    explicit RecordingEvents(CallJournal& journal) : m_journal(journal) {}

    void start() override { m_journal.record(QStringLiteral("events.start")); }
    void track(QString name, QJsonObject properties) override
    {
        QStringList parts{name};
        for (auto it = properties.constBegin(); it != properties.constEnd(); ++it)
            parts.append(it.key() + u'=' + it.value().toVariant().toString());
        m_journal.record(QStringLiteral("events.track(%1)").arg(parts.join(u',')));
    }
    void startNewSession() override { m_journal.record(QStringLiteral("events.newSession")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
