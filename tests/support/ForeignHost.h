#pragma once

#include <QTcpServer>
#include <QUrl>

namespace lumi::test {

/// A host other than the sandbox's, on another loopback address, which the address rule treats as
/// any host on the network: it counts the connections made to it and answers none.
class ForeignHost final : public QObject
{
    Q_DISABLE_COPY_MOVE(ForeignHost)

public:
    ForeignHost();

    bool isListening() const { return m_server.isListening(); }
    /// An http address of this host with the path.
    QUrl url(const QString& path) const;
    int knocks() const { return m_knocks; }

private:
    QTcpServer m_server;
    int m_knocks = 0;
};

} // namespace lumi::test
