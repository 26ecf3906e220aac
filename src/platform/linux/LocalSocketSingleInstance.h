#pragma once

#include "model/AppLog.h"
#include "platform/SingleInstance.h"

#include <QLockFile>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace lumi {

/// One copy per session through a lock file and a local socket, both in the runtime folder. The
/// lock decides who runs (a lock left by a dead process is taken over); the socket carries a later
/// copy's request to show the window. A folder that is not this user's alone (mode 700) is not
/// used: the app then runs without the check.
class LocalSocketSingleInstance final : public SingleInstance
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalSocketSingleInstance)

public:
    /// folder holds the lock file and the socket; usually the runtime folder.
    explicit LocalSocketSingleInstance(QString folder, QObject* parent = nullptr);
    ~LocalSocketSingleInstance() override;

    bool claim() override;
    QCoro::Task<bool> handOver() override;

    QString socketPath() const;

private:
    void answer(QLocalSocket* socket);

    QString m_folder;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
    AppLog m_log{QStringLiteral("app")};
};

} // namespace lumi
