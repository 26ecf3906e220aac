#include "support/PrivateXServer.h"

using namespace Qt::StringLiterals;

namespace lumi::test {

PrivateXServer::PrivateXServer(const QList<Monitor>& monitors, QSize room)
{
    QRect screen;
    for (const Monitor& monitor : monitors)
        screen |= monitor.geometry;
    screen |= QRect(QPoint(0, 0), room);
    // -displayfd: the server picks a free display and writes its number once it accepts clients.
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s,
                               u"%1x%2x24"_s.arg(screen.right() + 1).arg(screen.bottom() + 1), u"-noreset"_s,
                               u"-nolisten"_s, u"tcp"_s});
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(20000))
        number += m_server.readAllStandardOutput();
    if (!number.contains('\n')) {
        m_error = u"Xvfb did not start: "_s + m_server.errorString() + u' ' +
                  QString::fromLocal8Bit(m_server.readAllStandardError());
        return;
    }
    m_display = ':' + number.trimmed();
    for (qsizetype i = 0; i < monitors.size(); ++i) {
        // Sizes in millimetres at 96 dpi, rounded.
        const QRect& area = monitors[i].geometry;
        const QString geometry = u"%1/%2x%3/%4+%5+%6"_s.arg(area.width())
                                     .arg((area.width() * 254 + 480) / 960)
                                     .arg(area.height())
                                     .arg((area.height() * 254 + 480) / 960)
                                     .arg(area.x())
                                     .arg(area.y());
        m_error = xrandr({u"--setmonitor"_s, monitors[i].name, geometry, i == 0 ? u"screen"_s : u"none"_s});
        if (!m_error.isEmpty()) {
            m_display.clear();
            return;
        }
    }
}

PrivateXServer::~PrivateXServer()
{
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished(5000);
}

QString PrivateXServer::xrandr(const QStringList& arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, QString::fromLatin1(m_display));
    tool.setProcessEnvironment(environment);
    tool.start(u"xrandr"_s, arguments);
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return u"xrandr %1 failed: %2"_s.arg(arguments.join(u' '),
                                             QString::fromLocal8Bit(tool.readAllStandardError()));
    return {};
}

} // namespace lumi::test
