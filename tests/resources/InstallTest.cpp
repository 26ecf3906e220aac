#include "app/AppIcon.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

/// `cmake --install` into a fresh prefix lays the app out as a Linux application: the executable,
/// a valid desktop entry that starts it and names its icon, and the icon in the hicolor theme.
class InstallTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsTheExecutable();
    void installsAValidDesktopEntry();
    void installsTheIconInEverySize_data();
    void installsTheIconInEverySize();

private:
    QString installed(const QString& path) const { return m_prefix->path() + u'/' + path; }
    QString entryValue(const QString& key) const;

    std::unique_ptr<QTemporaryDir> m_prefix;
    QString m_entry;
};

void InstallTest::initTestCase()
{
    m_prefix = std::make_unique<QTemporaryDir>();
    QVERIFY(m_prefix->isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(LUMIVALE_CMAKE),
                  {u"--install"_s, QStringLiteral(LUMIVALE_BUILD_DIR), u"--prefix"_s, m_prefix->path()});
    QVERIFY(install.waitForFinished(120'000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    QFile entry(installed(u"share/applications/lumivale-desktop.desktop"_s));
    QVERIFY2(entry.open(QIODevice::ReadOnly), qPrintable(entry.fileName()));
    m_entry = QString::fromUtf8(entry.readAll());
}

QString InstallTest::entryValue(const QString& key) const
{
    const QRegularExpression line(u"^"_s + QRegularExpression::escape(key) + u"=(.*)$"_s,
                                  QRegularExpression::MultilineOption);
    return line.match(m_entry).captured(1);
}

void InstallTest::installsTheExecutable()
{
    const QString program = installed(u"bin/lumivale"_s);
    QVERIFY(QFileInfo(program).isExecutable());
    // The installed copy answers on its own, without a display.
    QProcess version;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    version.setProcessEnvironment(environment);
    version.start(program, {u"--version"_s});
    QVERIFY(version.waitForFinished(10'000));
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(version.readAllStandardOutput().trimmed(), QByteArray("Lumivale Desktop " LUMIVALE_VERSION));
}

void InstallTest::installsAValidDesktopEntry()
{
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is needed");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, {installed(u"share/applications/lumivale-desktop.desktop"_s)});
    QVERIFY(validate.waitForFinished(10'000));
    const QByteArray report = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && report.isEmpty(), report.constData());

    QCOMPARE(entryValue(u"Exec"_s), installed(u"bin/lumivale"_s));
    QCOMPARE(entryValue(u"Icon"_s), QString::fromLatin1(lumi::AppIcon::themeName));
    for (const QString& key :
         {u"Name"_s, u"GenericName"_s, u"Comment"_s, u"StartupWMClass"_s, u"Categories"_s})
        QVERIFY2(!entryValue(key).isEmpty(), qPrintable(key));
    QCOMPARE(entryValue(u"X-GNOME-UsesNotifications"_s), u"true"_s);
}

void InstallTest::installsTheIconInEverySize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : lumi::AppIcon::pixelSizes)
        QTest::addRow("%dpx", size) << size;
}

void InstallTest::installsTheIconInEverySize()
{
    QFETCH(int, size);
    const QString name = QString::fromLatin1(lumi::AppIcon::themeName);
    QVERIFY(QFileInfo(installed(u"share/icons/hicolor/scalable/apps/"_s + name + u".svg"_s)).size() > 0);
    const QImage png(installed(u"share/icons/hicolor/%1x%1/apps/"_s.arg(size) + name + u".png"_s));
    QCOMPARE(png.size(), QSize(size, size));
    // Transparent corners around an opaque tile.
    QCOMPARE(qAlpha(png.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(png.pixel(size / 2, size * 9 / 10)), 255);
}

QTEST_MAIN(InstallTest)
#include "InstallTest.moc"
