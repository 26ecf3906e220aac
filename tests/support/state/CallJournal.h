#pragma once

#include <QString>
#include <QStringList>

namespace lumi::test {

/// The calls the model made on its neighbours, in order, as "<neighbour>.<call>" texts.
class CallJournal final
{
public:
    void record(QString call) { m_calls.append(std::move(call)); }
    const QStringList& calls() const { return m_calls; }
    qsizetype count(const QString& call) const { return m_calls.count(call); }
    void clear() { m_calls.clear(); }

private:
    QStringList m_calls;
};

} // namespace lumi::test
