#include "platform/linux/LocalSocketSingleInstance.h"

#include <QCoroLocalSocket>
#include <QCoroTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
const QByteArray showAnswer = QByteArrayLiteral("shown\n");
// A running copy answers at once; a copy that hangs must not keep the new one waiting long.
constexpr auto answerTimeout = 5s;
// A copy that won the lock a moment ago listens a moment later.
constexpr auto listenRetryStep = 100ms;
constexpr int listenRetries = 20;

// The lock decides who runs, so it may only lie where nobody else can put one: in a folder of this
// user's, closed to everybody else. A folder shared with others (the temporary folder's, when there
// is no runtime folder) would let another user keep the app from starting.
std::optional<QString> whyNotPrivate(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(info.st_mode))
        return u"not a folder"_s;
    if (info.st_uid != ::getuid())
        return u"owned by user %1"_s.arg(info.st_uid);
    if ((info.st_mode & 07777) != S_IRWXU)
        return u"mode %1, not 700"_s.arg(info.st_mode & 07777, 0, 8);
    return std::nullopt;
}

} // namespace

LocalSocketSingleInstance::LocalSocketSingleInstance(QString folder, QObject* parent)
    : SingleInstance(parent), m_folder(std::move(folder)), m_lock(m_folder + u"/lumivale-desktop.lock"_s)
{
    // Only a dead owner makes the lock stale, never its age: the app runs for weeks.
    m_lock.setStaleLockTime(0);
}

LocalSocketSingleInstance::~LocalSocketSingleInstance()
{
    if (m_server)
        m_server->close();
}

QString LocalSocketSingleInstance::socketPath() const
{
    return m_folder + u"/lumivale-desktop.socket"_s;
}

bool LocalSocketSingleInstance::claim()
{
    if (const std::optional<QString> why = whyNotPrivate(m_folder)) {
        m_log.error(
            u"single instance: %1 is not a private folder (%2); running anyway"_s.arg(m_folder, *why));
        return true;
    }
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError) {
            // Without a usable lock we can't tell; running twice beats not running at all.
            m_log.error(u"single instance: the lock file can't be used; running anyway"_s);
            return true;
        }
        qint64 pid = 0;
        QString host;
        QString app;
        m_lock.getLockInfo(&pid, &host, &app);
        AppLog(u"takeover"_s).info(u"another copy is running (pid %1): handing over"_s.arg(pid));
        return false;
    }

    // We hold the lock, so a socket file left behind can only be from a copy that died.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        m_log.error(u"single instance: can't listen on %1: %2"_s.arg(socketPath(), m_server->errorString()));
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            answer(socket);
        }
    });
    return true;
}

void LocalSocketSingleInstance::answer(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    const QByteArray request = socket->readLine();
    if (request != showRequest) {
        socket->disconnectFromServer();
        return;
    }
    m_log.info(u"a second copy asked for the main window"_s);
    socket->write(showAnswer);
    socket->flush();
    emit activationRequested();
}

QCoro::Task<bool> LocalSocketSingleInstance::handOver()
{
    const QPointer<LocalSocketSingleInstance> self(this);
    const QString path = socketPath();
    const auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(path);
    // The lock's new holder may not listen yet: a missing socket is tried again for a short while.
    for (int retry = 0; retry < listenRetries && socket->state() == QLocalSocket::UnconnectedState &&
                        (socket->error() == QLocalSocket::ServerNotFoundError ||
                         socket->error() == QLocalSocket::ConnectionRefusedError);
         ++retry) {
        co_await QCoro::sleepFor(listenRetryStep);
        socket->connectToServer(path);
    }
    const bool connected = socket->state() == QLocalSocket::ConnectedState ||
                           (socket->state() != QLocalSocket::UnconnectedState &&
                            co_await qCoro(socket.get()).waitForConnected(answerTimeout));
    if (!connected) {
        if (self)
            self->m_log.error(
                u"single instance: the running copy doesn't answer: %1"_s.arg(socket->errorString()));
        co_return false;
    }
    co_await qCoro(socket.get()).write(showRequest);
    while (!socket->canReadLine()) {
        if (!co_await qCoro(socket.get()).waitForReadyRead(answerTimeout))
            break;
    }
    const bool shown = socket->canReadLine() && socket->readLine() == showAnswer;
    socket->disconnectFromServer();
    if (!shown && self)
        self->m_log.error(u"single instance: the running copy didn't confirm"_s);
    co_return shown;
}

} // namespace lumi
