#include "platform/linux/FileManagerRevealer.h"

#include "model/AppLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace lumi {

void FileManagerRevealer::revealFolder(const QString& path)
{
    const QUrl folder = QUrl::fromLocalFile(path);
    showItem(folder, folder);
}

void FileManagerRevealer::revealFile(const QString& path)
{
    showItem(QUrl::fromLocalFile(path), QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void FileManagerRevealer::showItem(const QUrl& item, const QUrl& fallback)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{item.toString()} << QString();
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [item, fallback](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<> reply = *finished;
                if (!reply.isError())
                    return;
                AppLog(u"app"_s).info(u"file manager did not show %1 (%2); opening %3"_s.arg(
                    item.toLocalFile(), reply.error().message(), fallback.toLocalFile()));
                QDesktopServices::openUrl(fallback);
            });
}

} // namespace lumi
