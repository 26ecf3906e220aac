#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QStringList>

namespace lumi::test {

/// An Xvfb of the test's own, laid out like scripts/xvfb-session: one 3200x1080 screen with the
/// RandR monitors LEFT (1920x1080+0+0) and RIGHT (1280x1024+1920+0), unless other monitors are
/// asked for. Tests that change the root window or the monitors use one, so tests running side by
/// side never see each other's changes.
class PrivateXServer final
{
public:
    struct Monitor
    {
        QString name;
        QRect geometry;
    };

    static QList<Monitor> defaultMonitors()
    {
        return {{QStringLiteral("LEFT"), QRect(0, 0, 1920, 1080)},
                {QStringLiteral("RIGHT"), QRect(1920, 0, 1280, 1024)}};
    }

    /// The screen is as large as the monitors together, or as `room` where that is larger (Xvfb
    /// can't grow it later); the first monitor is the primary output's.
    explicit PrivateXServer(const QList<Monitor>& monitors = defaultMonitors(), QSize room = {});
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    /// Empty when the server did not start (see error()).
    const QByteArray& display() const { return m_display; }
    const QString& error() const { return m_error; }

    /// Runs xrandr against this server; the reason on failure, else empty.
    QString xrandr(const QStringList& arguments) const;

private:
    QProcess m_server;
    QByteArray m_display;
    QString m_error;
};

} // namespace lumi::test
