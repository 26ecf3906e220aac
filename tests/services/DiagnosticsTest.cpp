#include "services/Diagnostics.h"
#include "model/Album.h"
#include "platform/Paths.h"
#include "support/wallpaper/RotationRig.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Diagnostics;
using lumi::test::RotationRig;

class DiagnosticsTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reportsEveryTest_data();
    void reportsEveryTest();
    void secondRunWhileRunningIsIgnored();

private:
    /// The bodies of the posts to the path, as sent.
    QList<QJsonObject> posted(const QString& path, QString* query = nullptr);

    std::unique_ptr<RotationRig> m_rig;
    std::unique_ptr<Diagnostics> m_diagnostics;
};

void DiagnosticsTest::init()
{
    m_rig = std::make_unique<RotationRig>();
    m_diagnostics = std::make_unique<Diagnostics>(m_rig->api, m_rig->engine(), m_rig->account);
}

void DiagnosticsTest::cleanup()
{
    m_diagnostics.reset();
    m_rig.reset();
    QLocale::setDefault(QLocale::c());
}

QList<QJsonObject> DiagnosticsTest::posted(const QString& path, QString* query)
{
    QList<QJsonObject> bodies;
    for (const QJsonValue& request : m_rig->sandbox.requests()) {
        if (request[u"method"_s].toString() != u"POST"_s || request[u"path"_s].toString() != path)
            continue;
        bodies.append(QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object());
        if (query)
            *query = request[u"query"_s].toString();
    }
    return bodies;
}

void DiagnosticsTest::reportsEveryTest_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("wallpaperRefused");
    QTest::addColumn<bool>("postFails");
    QTest::addColumn<bool>("paperPlaylist");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("hints");

    const QString sent = u" Results sent to Support — we will get right back to you!"_s;
    const QString notSent = u" The results couldn't be sent; check your connection and try again."_s;
    const QString playlistHint =
        u"No playlist is marked for wallpaper rotation — click the ○ next to a playlist in the sidebar."_s;
    const QString connectionHint = u"Check your internet connection, then run the tests again."_s;
    QTest::newRow("all pass") << true << false << false << true << (u"All tests passed."_s + sent)
                              << QStringList{};
    QTest::newRow("no playlist for the wallpaper")
        << true << false << false << false << (u"All tests passed."_s + sent) << QStringList{playlistHint};
    QTest::newRow("signed out") << false << false << false << true
                                << (u"Problems with reaching the Lumivale API."_s + sent)
                                << QStringList{connectionHint};
    QTest::newRow("the desktop refuses")
        << true << true << false << true
        << (u"Problems with setting a wallpaper through the CDN, setting a wallpaper directly."_s + sent)
        << QStringList{};
    QTest::newRow("results not sent")
        << true << false << true << true << (u"All tests passed."_s + notSent) << QStringList{};
}

void DiagnosticsTest::reportsEveryTest()
{
    QFETCH(bool, signedIn);
    QFETCH(bool, wallpaperRefused);
    QFETCH(bool, postFails);
    QFETCH(bool, paperPlaylist);
    QFETCH(QString, result);
    QFETCH(QStringList, hints);

    // Digits of the report stay Western whatever the user's language.
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    QList<lumi::Album> albums = m_rig->account.albums();
    QVERIFY(!albums.isEmpty());
    for (lumi::Album& album : albums)
        album.includeInPaper = false;
    albums.first().includeInPaper = paperPlaylist;
    albums.first().count = std::nullopt; // counts as none
    m_rig->account.setAlbums(albums);
    if (!signedIn)
        m_rig->api.setToken(std::nullopt);
    if (wallpaperRefused)
        m_rig->applier().failNext(2);
    if (postFails)
        QVERIFY(m_rig->sandbox.addFault({{u"path"_s, u"/api/v6/info"_s}, {u"status"_s, 500}}));

    QSignalSpy progress(m_diagnostics.get(), &Diagnostics::progressChanged);
    QCoro::waitFor(m_diagnostics->runTests());
    QCOMPARE(m_diagnostics->result(), std::optional(result));
    QCOMPARE(m_diagnostics->hints(), hints);
    QVERIFY(!m_diagnostics->running());
    QCOMPARE(m_diagnostics->step(), QString());
    QCOMPARE(progress.size(), 8);
    QCOMPARE(QDir(lumi::Paths::appDataFolder()).entryList({u".write-test-*"_s}, QDir::Files | QDir::Hidden),
             QStringList{});

    QString query;
    const QList<QJsonObject> info = posted(u"/api/v6/info"_s, &query);
    QCOMPARE(info.size(), 1);
    QCOMPARE(query, u"tresults=true"_s);
    const QJsonObject tests = info.first()[u"tests"_s].toObject();
    const QMap<QString, QJsonValue::Type> types{
        {u"date"_s, QJsonValue::String},
        {u"platform"_s, QJsonValue::String},
        {u"osv"_s, QJsonValue::String},
        {u"arch"_s, QJsonValue::String},
        {u"bytes"_s, QJsonValue::String},
        {u"version"_s, QJsonValue::String},
        {u"dataDir"_s, QJsonValue::String},
        {u"api"_s, QJsonValue::String},
        {u"success"_s, QJsonValue::Bool},
        {u"writeable"_s, QJsonValue::Bool},
        {u"writeableAfter"_s, QJsonValue::Bool},
        {u"favorites"_s, QJsonValue::Bool},
        {u"setwallpaper"_s, QJsonValue::Bool},
        {u"setwallpaperNoCdn"_s, QJsonValue::Bool},
        {u"cali"_s, QJsonValue::Bool},
        {u"rotateDesktop"_s, QJsonValue::String},
        {u"paperPlaylistsSelected"_s, QJsonValue::Double},
        {u"saverPlaylistsSelected"_s, QJsonValue::Double},
        {u"papercount"_s, QJsonValue::Double},
        {u"savercount"_s, QJsonValue::Double},
        {u"testDetails"_s, QJsonValue::Object},
        {u"testDuration"_s, QJsonValue::Double},
        {u"summary"_s, QJsonValue::String},
        {u"hints"_s, QJsonValue::Array},
    };
    QCOMPARE(tests.keys(), types.keys());
    for (auto it = types.cbegin(); it != types.cend(); ++it)
        QVERIFY2(tests[it.key()].type() == it.value(), qPrintable(it.key()));
    QVERIFY(QRegularExpression(u"^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$"_s)
                .match(tests[u"date"_s].toString())
                .hasMatch());
    QVERIFY(QRegularExpression(u"^\\d+\\.\\d\\dGB$"_s).match(tests[u"bytes"_s].toString()).hasMatch());
    QCOMPARE(tests[u"platform"_s].toString(), u"linux"_s);
    QCOMPARE(tests[u"favorites"_s].toBool(), signedIn);
    QCOMPARE(tests[u"testDetails"_s][u"favorites"_s][u"success"_s].toBool(), signedIn);
    QCOMPARE(tests[u"testDetails"_s][u"favorites"_s][u"error"_s].isString(), !signedIn);
    QCOMPARE(tests[u"testDetails"_s][u"wallpaper"_s][u"httpsNoCdn"_s][u"success"_s].toBool(),
             !wallpaperRefused);
    QCOMPARE(tests[u"paperPlaylistsSelected"_s].toInt(), paperPlaylist ? 1 : 0);
    QCOMPARE(tests[u"papercount"_s].toInt(), 0);
    QCOMPARE(tests[u"hints"_s].toArray().size(), hints.size());

    const QList<QJsonObject> logs = posted(u"/api/v6/rlogger"_s);
    QCOMPARE(logs.size(), 1);
    const QString lines = logs.first()[u"lines"_s].toString();
    QVERIFY(lines.startsWith(u"runTests() - Starting diagnostic tests\n"_s));
    QVERIFY(lines.size() <= 409600 + 64);
    // The log names paths in the home from there on.
    QVERIFY(lines.contains(u"dataDir: ~/"_s));
    QVERIFY(!lines.contains(QDir::homePath() + u'/'));
    for (const QJsonValue& request : m_rig->sandbox.requests()) {
        if (request[u"path"_s].toString().contains(u"info"_s) ||
            request[u"path"_s].toString().contains(u"rlogger"_s))
            QVERIFY(!request[u"body"_s].toString().contains(m_rig->token));
    }
}

void DiagnosticsTest::secondRunWhileRunningIsIgnored()
{
    m_rig->applier().hold();
    auto first = m_diagnostics->runTests();
    QTRY_VERIFY(m_rig->applier().calls().size() == 1);
    QVERIFY(m_diagnostics->running());
    QCoro::waitFor(m_diagnostics->runTests());
    m_rig->applier().release();
    QCoro::waitFor(std::move(first));
    QCOMPARE(posted(u"/api/v6/info"_s).size(), 1);
}

QTEST_MAIN(DiagnosticsTest)
#include "DiagnosticsTest.moc"
