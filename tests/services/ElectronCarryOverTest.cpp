#include "services/DesktopReplacedEvent.h"
#include "services/ElectronMigration.h"

#include "model/Account.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "model/SessionTokenFile.h"
#include "model/User.h"
#include "platform/FileRevealer.h"
#include "platform/OlderAppProcesses.h"
#include "platform/Paths.h"
#include "platform/Trash.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/TemporaryHome.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using lumi::Defaults;
using lumi::ElectronMigration;
namespace keys = lumi::keys;

namespace {

const QByteArray everything = R"({"token": "old-token", "user": {"uuid": "u-1", "email": "a@lumivale.test"},
    "data-dir": "<home>/Photos", "linked-downloads": {"p-1": ["a.jpg", "b.jpg"]}, "lang": "de",
    "install-fingerprint": "fp-old", "window": {"x": 3}})";

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// From memory: with the data folder made a file, the log file can't be written either.
QStringList takeoverLog()
{
    QStringList lines;
    const QString marker = u"[takeover] "_s;
    for (const QString& line : lumi::LogStore::shared().recent()) {
        if (const qsizetype at = line.indexOf(marker); at >= 0)
            lines.append(line.mid(at + marker.size()));
    }
    return lines;
}

} // namespace

/// The older app's "Settings" carried over once after the take-over, into a temporary home.
class ElectronCarryOverTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void carriesWhatIsUsable_data();
    void carriesWhatIsUsable();
    void readsOnlyWhatIsItsOwn_data();
    void readsOnlyWhatIsItsOwn();
    void waitsForTheTakeOverAndRunsOnce();
    void replacedEventWaitsForASignedInUser();

private:
    std::unique_ptr<ElectronMigration> migration();

    std::unique_ptr<lumi::test::TemporaryHome> m_home;
    QString m_startFolder;
};

void ElectronCarryOverTest::init()
{
    m_home = std::make_unique<lumi::test::TemporaryHome>();
    QVERIFY(m_home->isValid());
    // A relative photo folder would land here, not in the build tree.
    m_startFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_home->path()));
    Defaults::shared().setValue(keys::electronReplaced, true);
}

void ElectronCarryOverTest::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_home.reset();
}

std::unique_ptr<ElectronMigration> ElectronCarryOverTest::migration()
{
    return std::make_unique<ElectronMigration>(ElectronMigration::Services{
        .defaults = Defaults::shared(),
        .clock = lumi::LinuxPlatform::clock(),
        .processes = lumi::LinuxPlatform::olderAppProcesses(),
        .trash = lumi::LinuxPlatform::trash(),
        .revealer = lumi::LinuxPlatform::fileRevealer(),
        .executable = m_home->path() + u"/Applications/lumivale-desktop"_s,
        .preferredLanguages = {u"en-GB"_s, u"de-DE"_s},
    });
}

void ElectronCarryOverTest::carriesWhatIsUsable_data()
{
    QTest::addColumn<QByteArray>("settings");
    // "own token", "data folder is a file", "fingerprint", "leftovers", "German system".
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("carried");
    QTest::addColumn<QString>("token");

    const QString all = u"token, user, data-dir, linked-downloads, lang, install-fingerprint"_s;
    QTest::newRow("everything") << everything << QStringList{} << all << u"old-token"_s;
    QTest::newRow("own token kept") << everything << QStringList{u"own token"_s}
                                    << u"data-dir, linked-downloads, lang, install-fingerprint"_s << u"own"_s;
    QTest::newRow("token without a usable user") << QByteArray(R"({"token": "old-token", "user": "someone"})")
                                                 << QStringList{} << u"token"_s << u"old-token"_s;
    QTest::newRow("user without a token")
        << QByteArray(R"({"user": {"uuid": "u-1"}})") << QStringList{} << QString() << QString();
    QTest::newRow("photo folder not writable")
        << QByteArray(R"({"data-dir": "<home>/file/Photos"})") << QStringList{} << QString() << QString();
    QTest::newRow("relative photo folder")
        << QByteArray(R"({"data-dir": "Photos"})") << QStringList{} << QString() << QString();
    QTest::newRow("language of the system")
        << QByteArray(R"({"lang": "en"})") << QStringList{} << QString() << QString();
    QTest::newRow("second language of the system")
        << QByteArray(R"({"lang": "de"})") << QStringList{} << u"lang"_s << QString();
    QTest::newRow("unsupported language")
        << QByteArray(R"({"lang": "ja"})") << QStringList{} << QString() << QString();
    QTest::newRow("fingerprint kept") << QByteArray(R"({"install-fingerprint": "fp-old"})")
                                      << QStringList{u"fingerprint"_s} << QString() << QString();
    QTest::newRow("nothing, with leftovers")
        << QByteArray("{}") << QStringList{u"leftovers"_s} << QString() << QString();
    QTest::newRow("token that can't be saved")
        << everything << QStringList{u"data folder is a file"_s}
        << u"data-dir, linked-downloads, lang, install-fingerprint"_s << QString();
}

void ElectronCarryOverTest::carriesWhatIsUsable()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, before);
    QFETCH(QString, carried);
    QFETCH(QString, token);

    const QString home = m_home->path();
    const QString folder = lumi::Paths::electronFolder();
    writeFile(folder + u"/Settings"_s, settings.replace("<home>", QFile::encodeName(home)));
    QVERIFY(QFile::setPermissions(folder + u"/Settings"_s, QFile::ReadOwner | QFile::WriteOwner |
                                                               QFile::ReadGroup | QFile::ReadOther));
    writeFile(home + u"/file"_s, "a file, not a folder");
    if (before.contains(u"own token"_s))
        QVERIFY(lumi::SessionTokenFile::save(u"own"_s));
    if (before.contains(u"data folder is a file"_s))
        writeFile(lumi::Paths::appDataFolder(), "a file, not a folder");
    if (before.contains(u"fingerprint"_s))
        Defaults::shared().setValue(keys::installFingerprint, u"gen-mine"_s);
    int leftovers = 0;
    if (before.contains(u"leftovers"_s)) {
        for (const QString& name : {u"Cache"_s, u"GPUCache"_s, u"blob_storage"_s})
            QVERIFY(QDir().mkpath(folder + u'/' + name));
        QVERIFY(QDir().mkpath(lumi::Paths::documentsFolder() + u"/Lumivale/Wallpaper Cache"_s));
        leftovers = 4;
    }

    migration()->carryOverSettings();

    QCOMPARE(takeoverLog(),
             (QStringList{u"Electron's Settings found: carrying it over"_s,
                          u"carried over: %1; %2 leftovers to the Trash"_s.arg(carried).arg(leftovers)}));
    const QStringList items = carried.split(u", "_s, Qt::SkipEmptyParts);
    Defaults& defaults = Defaults::shared();
    QCOMPARE(lumi::SessionTokenFile::load().value_or(QString()), token);
    const std::optional<QByteArray> user = defaults.bytesValue(keys::user);
    QCOMPARE(user.has_value(), items.contains(u"user"_s));
    if (user)
        QCOMPARE(lumi::User::fromJson(QJsonDocument::fromJson(*user).object())->uuid,
                 std::optional(u"u-1"_s));
    QCOMPARE(defaults.stringValue(keys::dataDir),
             items.contains(u"data-dir"_s) ? std::optional(home + u"/Photos"_s) : std::nullopt);
    QCOMPARE(defaults.value(keys::electronLinkedDownloads),
             items.contains(u"linked-downloads"_s)
                 ? QVariant(QVariantMap{{u"p-1"_s, QVariantList{u"a.jpg"_s, u"b.jpg"_s}}})
                 : QVariant());
    QCOMPARE(defaults.get(keys::appleLanguages),
             items.contains(u"lang"_s) ? QStringList{u"de"_s} : QStringList{});
    if (before.contains(u"fingerprint"_s))
        QCOMPARE(defaults.stringValue(keys::installFingerprint), std::optional(u"gen-mine"_s));
    else
        QCOMPARE(defaults.stringValue(keys::installFingerprint).has_value(),
                 items.contains(u"install-fingerprint"_s));
    QCOMPARE(defaults.boolValue(keys::electronMigrated), std::optional(true));
    QCOMPARE(defaults.mapValue(keys::desktopReplacedPending),
             std::optional(QVariantMap{{u"migrated"_s, true}, {u"leftovers-trashed"_s, leftovers}}));
    QVERIFY(!QFile::exists(folder + u"/Settings"_s));
    QCOMPARE(QFile::permissions(folder + u"/Settings.electron"_s),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QCOMPARE(QDir(folder).entryList({u"Cache"_s, u"GPUCache"_s, u"blob_storage"_s}, QDir::Dirs),
             QStringList{});
}

void ElectronCarryOverTest::readsOnlyWhatIsItsOwn_data()
{
    // "Settings" is a file of this content, a FIFO, or a link to a file of it outside the home;
    // <home> and <outside> stand for the home and a folder outside it.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("carried");
    QTest::addColumn<QString>("absent"); // a folder that must not have been made

    const QByteArray token = R"({"token": "old-token", "user": {"uuid": "u-1"}})";
    QTest::newRow("a FIFO") << u"fifo"_s << QByteArray() << QString() << QString();
    QTest::newRow("a link to a file outside") << u"link"_s << token << QString() << QString();
    QTest::newRow("a token with a line break")
        << u"file"_s
        << QByteArray(R"({"token": "old-token\r\nX-Forwarded-For: 1.2.3.4", "user": {"uuid": "u-1"}})")
        << QString() << QString();
    QTest::newRow("a token with a blank")
        << u"file"_s << QByteArray(R"({"token": "old token"})") << QString() << QString();
    QTest::newRow("a relative photo folder")
        << u"file"_s << QByteArray(R"({"data-dir": "Photos/Lumivale"})") << QString() << u"<home>/Photos"_s;
    QTest::newRow("a photo folder to make outside the home")
        << u"file"_s << QByteArray(R"({"data-dir": "<outside>/made/Photos"})") << QString()
        << u"<outside>/made"_s;
    QTest::newRow("a photo folder outside the home by dot-dot")
        << u"file"_s << QByteArray(R"({"data-dir": "<home>/../escape/Photos"})") << QString()
        << u"<home>/../escape"_s;
    QTest::newRow("a photo folder outside the home through a link")
        << u"file"_s << QByteArray(R"({"data-dir": "<home>/elsewhere/made/Photos"})") << QString()
        << u"<outside>/made"_s;
    QTest::newRow("an existing photo folder outside the home")
        << u"file"_s << QByteArray(R"({"data-dir": "<outside>"})") << u"data-dir"_s << QString();
    QTest::newRow("a photo folder to make in the home")
        << u"file"_s << QByteArray(R"({"data-dir": "<home>/Pictures/Lumivale"})") << u"data-dir"_s
        << QString();
}

void ElectronCarryOverTest::readsOnlyWhatIsItsOwn()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, carried);
    QFETCH(QString, absent);

    QTemporaryDir outside;
    QVERIFY(outside.isValid());
    const QString home = m_home->path();
    const auto filled = [&](QString text) {
        return text.replace(u"<home>"_s, home).replace(u"<outside>"_s, outside.path());
    };
    QVERIFY(QFile::link(outside.path(), home + u"/elsewhere"_s));
    const QString settings = lumi::Paths::electronFolder() + u"/Settings"_s;
    QVERIFY(QDir().mkpath(lumi::Paths::electronFolder()));
    const QString target = outside.path() + u"/Settings"_s;
    if (kind == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    } else {
        writeFile(kind == u"link"_s ? target : settings, filled(QString::fromUtf8(content)).toUtf8());
        if (kind == u"link"_s) {
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
            QVERIFY(QFile::link(target, settings));
        }
    }

    // Should the read block on the FIFO, a writer comes along after a while so the test ends, and
    // says so.
    std::atomic<bool> done = false;
    std::atomic<bool> unblocked = false;
    std::thread watchdog([&] {
        for (int waited = 0; waited < 100 && !done; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (done || kind != u"fifo"_s)
            return;
        unblocked = true;
        const int writer = ::open(QFile::encodeName(settings).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    });
    migration()->carryOverSettings();
    done = true;
    watchdog.join();
    QVERIFY(!unblocked);

    Defaults& defaults = Defaults::shared();
    QCOMPARE(defaults.boolValue(keys::electronMigrated), std::optional(true));
    QCOMPARE(lumi::SessionTokenFile::load(), std::nullopt);
    QVERIFY(!defaults.contains(keys::user));
    QCOMPARE(defaults.contains(keys::dataDir), carried == u"data-dir"_s);
    if (!absent.isEmpty())
        QVERIFY2(!QFileInfo::exists(filled(absent)), qPrintable(filled(absent)));
    if (kind == u"link"_s)
        QCOMPARE(QFile::permissions(target) & QFile::ReadOther, QFile::ReadOther);
    if (kind != u"file"_s)
        QVERIFY(takeoverLog().first().startsWith(u"Electron's Settings not read: "_s));
}

void ElectronCarryOverTest::waitsForTheTakeOverAndRunsOnce()
{
    const QString settings = lumi::Paths::electronFolder() + u"/Settings"_s;
    Defaults& defaults = Defaults::shared();
    defaults.remove(keys::electronReplaced);
    writeFile(settings, everything);
    migration()->carryOverSettings();
    QVERIFY(!defaults.contains(keys::electronMigrated));
    QVERIFY(QFile::exists(settings));

    // Malformed: nothing carried, nothing moved, and never read again.
    defaults.setValue(keys::electronReplaced, true);
    writeFile(settings, "{\"token\": ");
    migration()->carryOverSettings();
    QCOMPARE(defaults.boolValue(keys::electronMigrated), std::optional(true));
    QVERIFY(QFile::exists(settings));
    QVERIFY(!defaults.contains(keys::desktopReplacedPending));

    writeFile(settings, everything);
    migration()->carryOverSettings();
    QCOMPARE(lumi::SessionTokenFile::load(), std::nullopt);
    QCOMPARE(takeoverLog(), QStringList{});
}

void ElectronCarryOverTest::replacedEventWaitsForASignedInUser()
{
    Defaults& defaults = Defaults::shared();
    const QVariantMap pending{{u"trashed-copies"_s, 1}, {u"quit"_s, 0}, {u"try"_s, 1}};
    defaults.setValue(keys::desktopReplacedPending, pending);
    lumi::Account account;
    lumi::test::CallJournal journal;
    lumi::test::RecordingEvents events(journal);
    lumi::DesktopReplacedEvent event(defaults, account, events);

    event.postReplacedEvent();
    QCOMPARE(journal.calls(), QStringList{});
    QCOMPARE(defaults.value(keys::desktopReplacedPending), QVariant(pending));

    lumi::User user;
    user.uuid = u"u-1"_s;
    account.setUser(user);
    account.setHasSessionToken(true);
    event.postReplacedEvent();
    event.postReplacedEvent();
    QCOMPARE(journal.calls(),
             QStringList{u"events.track(desktop-replaced,migrated=false,quit=0,trashed-copies=1,try=1)"_s});
    QVERIFY(!defaults.contains(keys::desktopReplacedPending));
}

QTEST_GUILESS_MAIN(ElectronCarryOverTest)
#include "ElectronCarryOverTest.moc"
