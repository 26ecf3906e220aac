#include "model/CdnUrl.h"
#include "model/InternetDateTime.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"
#include "model/User.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Test tables write an absent text as a null QString and an empty one as "".
std::optional<QString> present(const QString& text)
{
    return text.isNull() ? std::nullopt : std::optional(text);
}

QString urlText(const std::optional<QUrl>& url)
{
    return url ? url->toString() : QString();
}

QDateTime utc(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

} // namespace

class RecordsHelpersTest final : public QObject
{
    Q_OBJECT

private slots:
    void internetDateTimeIsStrict_data();
    void internetDateTimeIsStrict();
    void surveyIsDueOnlyAfterAReadableTime_data();
    void surveyIsDueOnlyAfterAReadableTime();
    void flagListSplitsAtBlanksAndBars_data();
    void flagListSplitsAtBlanksAndBars();
    void namesAndIdsForDisplay_data();
    void namesAndIdsForDisplay();
    void userDisplayNameFallsBackToEmail_data();
    void userDisplayNameFallsBackToEmail();
    void photoUrlsPreferLocalFilesAndSafeServerAddresses_data();
    void photoUrlsPreferLocalFilesAndSafeServerAddresses();
    void sourceLinkNeedsHttpsWithAHost_data();
    void sourceLinkNeedsHttpsWithAHost();
};

void RecordsHelpersTest::internetDateTimeIsStrict_data()
{
    QTest::addColumn<QString>("text");
    // The instant in UTC, or empty when the text is no internet date-time.
    QTest::addColumn<QString>("expected");

    QTest::newRow("utc") << u"2024-03-05T10:20:30Z"_s << u"2024-03-05T10:20:30.000Z"_s;
    QTest::newRow("lower-case separators") << u"2024-03-05t10:20:30z"_s << u"2024-03-05T10:20:30.000Z"_s;
    QTest::newRow("one fractional digit") << u"2024-03-05T10:20:30.5Z"_s << u"2024-03-05T10:20:30.500Z"_s;
    QTest::newRow("nanoseconds") << u"2024-03-05T10:20:30.123456789Z"_s << u"2024-03-05T10:20:30.123Z"_s;
    QTest::newRow("east of utc") << u"2024-03-05T10:20:30+02:00"_s << u"2024-03-05T08:20:30.000Z"_s;
    QTest::newRow("west of utc, across midnight")
        << u"2024-03-05T22:20:30.250-05:30"_s << u"2024-03-06T03:50:30.250Z"_s;
    QTest::newRow("unknown local offset") << u"2024-03-05T10:20:30-00:00"_s << u"2024-03-05T10:20:30.000Z"_s;
    QTest::newRow("leap day") << u"2024-02-29T00:00:00Z"_s << u"2024-02-29T00:00:00.000Z"_s;

    QTest::newRow("no zone") << u"2024-03-05T10:20:30"_s << QString();
    QTest::newRow("no zone with fraction") << u"2024-03-05T10:20:30.5"_s << QString();
    QTest::newRow("date only") << u"2024-03-05"_s << QString();
    QTest::newRow("blank instead of T") << u"2024-03-05 10:20:30Z"_s << QString();
    QTest::newRow("no seconds") << u"2024-03-05T10:20Z"_s << QString();
    QTest::newRow("dot without digits") << u"2024-03-05T10:20:30.Z"_s << QString();
    QTest::newRow("offset without colon") << u"2024-03-05T10:20:30+0200"_s << QString();
    QTest::newRow("offset hours only") << u"2024-03-05T10:20:30+02"_s << QString();
    QTest::newRow("offset out of range") << u"2024-03-05T10:20:30+24:00"_s << QString();
    QTest::newRow("not a leap year") << u"2023-02-29T00:00:00Z"_s << QString();
    QTest::newRow("hour 24") << u"2024-03-05T24:00:00Z"_s << QString();
    QTest::newRow("leap second") << u"2016-12-31T23:59:60Z"_s << QString();
    QTest::newRow("month 13") << u"2024-13-05T10:20:30Z"_s << QString();
    QTest::newRow("trailing text") << u"2024-03-05T10:20:30Zx"_s << QString();
    QTest::newRow("leading blank") << u" 2024-03-05T10:20:30Z"_s << QString();
    QTest::newRow("short year") << u"24-03-05T10:20:30Z"_s << QString();
    QTest::newRow("non-ASCII digits") << u"٢٠٢٤-03-05T10:20:30Z"_s << QString();
    QTest::newRow("garbage") << u"soon"_s << QString();
    QTest::newRow("empty") << u""_s << QString();
}

void RecordsHelpersTest::internetDateTimeIsStrict()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const auto parsed = InternetDateTime::parse(text);
    QCOMPARE(parsed ? parsed->toUTC().toString(Qt::ISODateWithMs) : QString(), expected);
}

void RecordsHelpersTest::surveyIsDueOnlyAfterAReadableTime_data()
{
    QTest::addColumn<QString>("nextSurveyAt");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("due");

    const QDateTime now = utc(u"2024-03-05T10:30:00Z"_s);
    QTest::newRow("absent") << QString() << now << false;
    QTest::newRow("empty") << u""_s << now << false;
    QTest::newRow("past") << u"2024-03-01T00:00:00Z"_s << now << true;
    QTest::newRow("past with fraction") << u"2024-03-05T10:29:59.999Z"_s << now << true;
    QTest::newRow("future") << u"2024-04-01T00:00:00Z"_s << now << false;
    QTest::newRow("exactly now") << u"2024-03-05T10:30:00Z"_s << now << false;
    QTest::newRow("past once the offset counts") << u"2024-03-05T12:00:00+02:00"_s << now << true;
    QTest::newRow("future once the offset counts") << u"2024-03-05T09:00:00-02:00"_s << now << false;
    QTest::newRow("past but without zone") << u"2024-03-01T00:00:00"_s << now << false;
    QTest::newRow("no date") << u"next week"_s << now << false;
}

void RecordsHelpersTest::surveyIsDueOnlyAfterAReadableTime()
{
    QFETCH(QString, nextSurveyAt);
    QFETCH(QDateTime, now);
    QFETCH(bool, due);

    User user;
    user.nextSurveyAt = present(nextSurveyAt);
    QCOMPARE(user.isSurveyDue(now), due);
}

void RecordsHelpersTest::flagListSplitsAtBlanksAndBars_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("absent") << QString() << QStringList();
    QTest::newRow("empty") << u""_s << QStringList();
    QTest::newRow("only separators") << u" || | "_s << QStringList();
    QTest::newRow("one word") << u"no-cdn"_s << QStringList({u"no-cdn"_s});
    QTest::newRow("mixed separators in a row")
        << u" no-shortcuts|| no-cdn |beta"_s << QStringList({u"no-shortcuts"_s, u"no-cdn"_s, u"beta"_s});
}

void RecordsHelpersTest::flagListSplitsAtBlanksAndBars()
{
    QFETCH(QString, flags);
    QFETCH(QStringList, words);

    User user;
    user.flags = present(flags);
    QCOMPARE(user.flagList(), words);
}

void RecordsHelpersTest::namesAndIdsForDisplay_data()
{
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("displayTitle");
    QTest::addColumn<QString>("shortId");

    QTest::newRow("catalog photo") << u"3F2A9C1B-77D0-4E1A-9A51-0C9F0B7D2E11"_s << u"Sunset"_s << u"Sunset"_s
                                   << u"3f2a9c1b"_s;
    QTest::newRow("empty title") << u"abcdef0123"_s << u""_s << u"Untitled"_s << u"abcdef01"_s;
    QTest::newRow("absent title, short uuid") << u"AbC"_s << QString() << u"Untitled"_s << u"abc"_s;
}

void RecordsHelpersTest::namesAndIdsForDisplay()
{
    QFETCH(QString, uuid);
    QFETCH(QString, title);
    QFETCH(QString, displayTitle);
    QFETCH(QString, shortId);

    Medium medium{uuid};
    medium.title = present(title);
    QCOMPARE(medium.displayTitle(), displayTitle);
    QCOMPARE(medium.shortId(), shortId);
}

void RecordsHelpersTest::userDisplayNameFallsBackToEmail_data()
{
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("displayName");

    QTest::newRow("full name") << u"Ada"_s << u"Lovelace"_s << u"ada@x.org"_s << u"Ada Lovelace"_s;
    QTest::newRow("last name only") << u""_s << u"Lovelace"_s << u"ada@x.org"_s << u"Lovelace"_s;
    QTest::newRow("empty names") << u""_s << u""_s << u"ada@x.org"_s << u"ada@x.org"_s;
    QTest::newRow("nothing") << QString() << QString() << QString() << u""_s;
}

void RecordsHelpersTest::userDisplayNameFallsBackToEmail()
{
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);
    QFETCH(QString, email);
    QFETCH(QString, displayName);

    const User user{.email = present(email), .firstName = present(firstName), .lastName = present(lastName)};
    QCOMPARE(user.displayName(), displayName);
}

void RecordsHelpersTest::photoUrlsPreferLocalFilesAndSafeServerAddresses_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("localPath");
    QTest::addColumn<QString>("localThumb");
    QTest::addColumn<QString>("thumbnail");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("large");
    QTest::addColumn<QString>("sized"); // 3840 by 2160 with the suffix "c1"

    const QString cdn = u"https://cdn.lumivale.com/m/ab12/"_s;
    QTest::newRow("cdn photo") << cdn << QString() << QString() << cdn + u"640x360.jpg"_s
                               << cdn + u"1920x1080.jpg"_s << cdn + u"2560x1440.jpg"_s
                               << cdn + u"3840x2160c1.jpg"_s;
    QTest::newRow("base without trailing slash")
        << u"https://cdn.lumivale.com/m/ab12_"_s << QString() << QString()
        << u"https://cdn.lumivale.com/m/ab12_640x360.jpg"_s
        << u"https://cdn.lumivale.com/m/ab12_1920x1080.jpg"_s
        << u"https://cdn.lumivale.com/m/ab12_2560x1440.jpg"_s
        << u"https://cdn.lumivale.com/m/ab12_3840x2160c1.jpg"_s;
    QTest::newRow("local file over cdn")
        << cdn << u"/home/u/Photos/a.jpg"_s << QString() << u"file:///home/u/Photos/a.jpg"_s
        << u"file:///home/u/Photos/a.jpg"_s << u"file:///home/u/Photos/a.jpg"_s << cdn + u"3840x2160c1.jpg"_s;
    QTest::newRow("local preview") << QString() << u"/p/a.jpg"_s << u"/p/images/a.jpg"_s
                                   << u"file:///p/images/a.jpg"_s << u"file:///p/a.jpg"_s
                                   << u"file:///p/a.jpg"_s << QString();
    QTest::newRow("local preview, cdn image")
        << cdn << QString() << u"/p/images/a.jpg"_s << u"file:///p/images/a.jpg"_s << cdn + u"1920x1080.jpg"_s
        << cdn + u"2560x1440.jpg"_s << cdn + u"3840x2160c1.jpg"_s;
    QTest::newRow("loopback http by address")
        << u"http://127.0.0.1:8080/cdn/ab/"_s << QString() << QString()
        << u"http://127.0.0.1:8080/cdn/ab/640x360.jpg"_s << u"http://127.0.0.1:8080/cdn/ab/1920x1080.jpg"_s
        << u"http://127.0.0.1:8080/cdn/ab/2560x1440.jpg"_s
        << u"http://127.0.0.1:8080/cdn/ab/3840x2160c1.jpg"_s;
    QTest::newRow("loopback http by name")
        << u"http://localhost/ab/"_s << QString() << QString() << u"http://localhost/ab/640x360.jpg"_s
        << u"http://localhost/ab/1920x1080.jpg"_s << u"http://localhost/ab/2560x1440.jpg"_s
        << u"http://localhost/ab/3840x2160c1.jpg"_s;
    QTest::newRow("loopback http over IPv6")
        << u"http://[::1]:9000/ab/"_s << QString() << QString() << u"http://[::1]:9000/ab/640x360.jpg"_s
        << u"http://[::1]:9000/ab/1920x1080.jpg"_s << u"http://[::1]:9000/ab/2560x1440.jpg"_s
        << u"http://[::1]:9000/ab/3840x2160c1.jpg"_s;

    const QStringList refused{
        u"http://cdn.lumivale.com/m/ab/"_s, // plain http to another machine
        u"http://127.0.0.1.evil.example/"_s,
        u"file:///etc/"_s,
        u"ftp://cdn.lumivale.com/"_s,
        u"javascript:alert(1)//"_s,
        u"https:///m/ab/"_s,         // no host
        u"cdn.lumivale.com/m/ab/"_s, // no scheme
        u"https://exa mple.com/"_s,  // does not parse
        u""_s,
    };
    for (const QString& base : refused) {
        QTest::addRow("server base %s refused", qPrintable(base))
            << base << QString() << QString() << QString() << QString() << QString() << QString();
    }
    QTest::newRow("refused base, local file kept")
        << u"file:///etc/"_s << u"/p/a.jpg"_s << QString() << u"file:///p/a.jpg"_s << u"file:///p/a.jpg"_s
        << u"file:///p/a.jpg"_s << QString();
    QTest::newRow("nothing") << QString() << QString() << QString() << QString() << QString() << QString()
                             << QString();
}

void RecordsHelpersTest::photoUrlsPreferLocalFilesAndSafeServerAddresses()
{
    QFETCH(QString, base);
    QFETCH(QString, localPath);
    QFETCH(QString, localThumb);
    QFETCH(QString, thumbnail);
    QFETCH(QString, image);
    QFETCH(QString, large);
    QFETCH(QString, sized);

    Medium medium{u"ab12"_s};
    medium.secureBaseUrl = present(base);
    medium.localPath = present(localPath);
    medium.localThumb = present(localThumb);
    QCOMPARE(urlText(medium.thumbnailURL()), thumbnail);
    QCOMPARE(urlText(medium.imageURL()), image);
    QCOMPARE(urlText(medium.largeImageURL()), large);
    QCOMPARE(urlText(medium.sizedImageURL(3840, 2160, u"c1"_s)), sized);
    QCOMPARE(urlText(medium.sizedImageURL(MediaFormat{3840, 2160, 1.78}, u"c1"_s)), sized);
}

void RecordsHelpersTest::sourceLinkNeedsHttpsWithAHost_data()
{
    QTest::addColumn<QString>("sourceUrl");
    QTest::addColumn<QString>("link");

    QTest::newRow("https") << u"https://photographer.example/p/1?x=y"_s
                           << u"https://photographer.example/p/1?x=y"_s;
    QTest::newRow("http") << u"http://photographer.example/p/1"_s << QString();
    QTest::newRow("file") << u"file:///etc/passwd"_s << QString();
    QTest::newRow("no host") << u"https:/p/1"_s << QString();
    QTest::newRow("no url") << u"see the photographer's site"_s << QString();
    QTest::newRow("absent") << QString() << QString();
}

void RecordsHelpersTest::sourceLinkNeedsHttpsWithAHost()
{
    QFETCH(QString, sourceUrl);
    QFETCH(QString, link);

    Medium medium{u"a"_s};
    medium.sourceUrl = present(sourceUrl);
    QCOMPARE(urlText(medium.sourceLink()), link);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RecordsHelpersTest)
#include "RecordsHelpersTest.moc"
