#include "support/PrivateXServer.h"

using namespace Qt::StringLiterals;

namespace lumi::test {

PrivateXServer::PrivateXServer()
{
    // -displayfd: the server picks a free display and writes its number once it accepts clients.
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"3200x1080x24"_s,
                               u"-noreset"_s, u"-nolisten"_s, u"tcp"_s});
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(20000))
        number += m_server.readAllStandardOutput();
    if (!number.contains('\n')) {
        m_error = u"Xvfb did not start: "_s + m_server.errorString() + u' ' +
                  QString::fromLocal8Bit(m_server.readAllStandardError());
        return;
    }
    m_display = ':' + number.trimmed();
    for (const QStringList& monitor : {QStringList{u"LEFT"_s, u"1920/508x1080/286+0+0"_s, u"screen"_s},
                                       QStringList{u"RIGHT"_s, u"1280/339x1024/271+1920+0"_s, u"none"_s}}) {
        m_error = xrandr(QStringList{u"--setmonitor"_s} + monitor);
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
