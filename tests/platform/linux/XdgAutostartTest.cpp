#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::XdgAutostart;

class XdgAutostartTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsTheEntry_data();
    void readsTheEntry();
    void writesAnEntryThatStartsThisProgram_data();
    void writesAnEntryThatStartsThisProgram();
    void disablingRemovesTheEntry();

private:
    QString makeProgram(const QString& name);
    QString entryFile() const { return m_dir->path() + u"/config/autostart/lumivale-desktop.desktop"_s; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void XdgAutostartTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

QString XdgAutostartTest::makeProgram(const QString& name)
{
    const QString path = m_dir->path() + u"/bin/"_s + name;
    QDir().mkpath(m_dir->path() + u"/bin"_s);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void XdgAutostartTest::readsTheEntry_data()
{
    // "@" stands for this program's path.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("no entry") << QString() << false;
    QTest::newRow("ours") << u"[Desktop Entry]\nType=Application\nExec=@ --autostart\n"_s << true;
    QTest::newRow("quoted path") << u"[Desktop Entry]\nExec=\"@\" --autostart\n"_s << true;
    QTest::newRow("hidden") << u"[Desktop Entry]\nExec=@ --autostart\nHidden=true\n"_s << false;
    QTest::newRow("switched off in GNOME")
        << u"[Desktop Entry]\nExec=@ --autostart\nX-GNOME-Autostart-enabled=false\n"_s << false;
    QTest::newRow("another program") << u"[Desktop Entry]\nExec=/usr/bin/true --autostart\n"_s << false;
    QTest::newRow("ours only in an action")
        << u"[Desktop Entry]\nExec=/usr/bin/true\n[Desktop Action Open]\nExec=@\n"_s << false;
    QTest::newRow("no Exec") << u"[Desktop Entry]\nType=Application\n"_s << false;
}

void XdgAutostartTest::readsTheEntry()
{
    QFETCH(QString, entry);
    QFETCH(bool, enabled);
    const QString program = makeProgram(u"lumivale"_s);
    if (!entry.isNull()) {
        QDir().mkpath(QFileInfo(entryFile()).absolutePath());
        QFile file(entryFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry.replace(u'@', program).toUtf8());
    }
    QCOMPARE(XdgAutostart(program, entryFile()).isEnabled(), enabled);
}

void XdgAutostartTest::writesAnEntryThatStartsThisProgram_data()
{
    QTest::addColumn<QString>("programName");
    QTest::addColumn<QString>("execLine");

    QTest::newRow("plain") << u"lumivale"_s << u"Exec=@ --autostart"_s;
    QTest::newRow("blank in the path") << u"Lumi Vale"_s << u"Exec=\"@\" --autostart"_s;
    QTest::newRow("reserved characters") << u"it's $100% \"fun\""_s << QString();
}

void XdgAutostartTest::writesAnEntryThatStartsThisProgram()
{
    QFETCH(QString, programName);
    QFETCH(QString, execLine);
    const QString program = makeProgram(programName);
    XdgAutostart autostart(program, entryFile());

    QCOMPARE(autostart.setEnabled(true), std::nullopt);
    QVERIFY(autostart.isEnabled());
    // Read back by a fresh reader, and refused by a reader for another program.
    QVERIFY(XdgAutostart(program, entryFile()).isEnabled());
    QVERIFY(!XdgAutostart(makeProgram(u"other"_s), entryFile()).isEnabled());

    QFile file(entryFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QVERIFY(lines.contains(u"[Desktop Entry]"_s));
    if (!execLine.isEmpty())
        QVERIFY2(lines.contains(execLine.replace(u'@', program)), qPrintable(lines.join(u" | "_s)));

    // What the desktop's own tools accept.
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is needed");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {entryFile()});
    QVERIFY(validate.waitForFinished(10'000));
    const QByteArray report = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && report.isEmpty(), report.constData());
}

void XdgAutostartTest::disablingRemovesTheEntry()
{
    XdgAutostart autostart(makeProgram(u"lumivale"_s), entryFile());
    QCOMPARE(autostart.setEnabled(false), std::nullopt);
    QCOMPARE(autostart.setEnabled(true), std::nullopt);
    QCOMPARE(autostart.setEnabled(false), std::nullopt);
    QVERIFY(!QFile::exists(entryFile()));
    QVERIFY(!autostart.isEnabled());
}

QTEST_GUILESS_MAIN(XdgAutostartTest)
#include "XdgAutostartTest.moc"
