#include "platform/linux/FileManagerRevealer.h"

#include "model/AppLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace lumi {

void FileManagerRevealer::revealFolder(const QString& path)
{
    const QUrl folder = QUrl::fromLocalFile(path);
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{folder.toString()} << QString();
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [folder](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        const QDBusPendingReply<> reply = *finished;
        if (!reply.isError())
            return;
        AppLog(u"app"_s).info(u"file manager did not show %1 (%2); opening it"_s.arg(
            folder.toLocalFile(), reply.error().message()));
        QDesktopServices::openUrl(folder);
    });
}

} // namespace lumi
