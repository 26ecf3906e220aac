#include "library/PhotoFileNames.h"
#include "model/Medium.h"
#include "support/TestFiles.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QString>)

using namespace Qt::StringLiterals;

namespace lumi {

class PhotoFileNamesTest final : public QObject
{
    Q_OBJECT

private slots:
    void photoFileName_data();
    void photoFileName();
    void isAppFileName_data();
    void isAppFileName();
    void isDateStamp_data();
    void isDateStamp();
    void namesTheSyncWritesAreItsOwnUnlessTheIdIsADate_data();
    void namesTheSyncWritesAreItsOwnUnlessTheIdIsADate();
};

void PhotoFileNamesTest::photoFileName_data()
{
    QTest::addColumn<std::optional<QString>>("title");
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<std::optional<QString>>("expected");

    const QString uuid = u"3fa9c21e-0000-4000-8000-000000000000"_s;
    QTest::newRow("punctuation dropped") << std::optional(u"Lake Tahoe, CA (2019)"_s) << uuid
                                         << std::optional(u"Lake Tahoe CA 2019-3fa9c21e.jpg"_s);
    QTest::newRow("accents dropped, letters kept")
        << std::optional(u"Caf\u00e9 du Monde"_s) << uuid << std::optional(u"Caf du Monde-3fa9c21e.jpg"_s);
    QTest::newRow("combining mark dropped")
        << std::optional(u"Cafe\u0301"_s) << uuid << std::optional(u"Cafe-3fa9c21e.jpg"_s);
    QTest::newRow("hyphens and blanks kept as they are")
        << std::optional(u" a--b  c "_s) << uuid << std::optional(u" a--b  c -3fa9c21e.jpg"_s);
    QTest::newRow("only blanks stay blanks")
        << std::optional(u"   "_s) << uuid << std::optional(u"   -3fa9c21e.jpg"_s);
    QTest::newRow("absent title") << std::optional<QString>() << uuid
                                  << std::optional(u"Lumivale-3fa9c21e.jpg"_s);
    QTest::newRow("empty title") << std::optional(QString()) << uuid
                                 << std::optional(u"Lumivale-3fa9c21e.jpg"_s);
    QTest::newRow("japanese title") << std::optional(u"\u5bcc\u58eb\u5c71"_s) << uuid
                                    << std::optional(u"Lumivale-3fa9c21e.jpg"_s);
    QTest::newRow("slashes and dots can't make a path")
        << std::optional(u"../../etc/passwd"_s) << uuid << std::optional(u"etcpasswd-3fa9c21e.jpg"_s);
    QTest::newRow("300 letters keep 240") << std::optional(QString(300, u'a')) << uuid
                                          << std::optional(QString(240, u'a') + u"-3fa9c21e.jpg"_s);
    QTest::newRow("upper-case uuid is lower-cased")
        << std::optional(u"Sunset"_s) << u"3FA9C21E-0000"_s << std::optional(u"Sunset-3fa9c21e.jpg"_s);
    QTest::newRow("lower-cased uuid still not letters and digits is refused")
        << std::optional(u"Sunset"_s) << u"3FA9C2\u00c9-0000"_s << std::optional<QString>();
    QTest::newRow("short uuid is refused")
        << std::optional(u"Sunset"_s) << u"3fa9c2"_s << std::optional<QString>();
    QTest::newRow("path in the uuid is refused")
        << std::optional(u"Sunset"_s) << u"../../x1-0000"_s << std::optional<QString>();
    QTest::newRow("uuid starting with a date still names a file")
        << std::optional(u"Trip"_s) << u"20240131-aaaa"_s << std::optional(u"Trip-20240131.jpg"_s);
}

void PhotoFileNamesTest::photoFileName()
{
    QFETCH(std::optional<QString>, title);
    QFETCH(QString, uuid);
    QFETCH(std::optional<QString>, expected);

    Medium photo;
    photo.uuid = uuid;
    photo.title = title;
    QCOMPARE(PhotoFileNames::photoFileName(photo), expected);
    if (expected)
        QVERIFY(QFile::encodeName(*expected).size() <= 255);
}

void PhotoFileNamesTest::isAppFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    QTest::newRow("sync name") << u"Sunset-a1b2c3d4.jpg"_s << true;
    QTest::newRow("upper-case id") << u"Sunset-A1B2C3D4.jpg"_s << false;
    QTest::newRow("underscore before id") << u"Sunset_a1b2c3d4.jpg"_s << false;
    QTest::newRow("upper-case extension") << u"Sunset-a1b2c3d4.JPG"_s << false;
    QTest::newRow("jpeg extension") << u"Sunset-a1b2c3d4.jpeg"_s << false;
    QTest::newRow("seven-character id") << u"Sunset-a1b2c3d.jpg"_s << false;
    QTest::newRow("14 characters") << u"x-a1b2c3d4.jpg"_s << true;
    QTest::newRow("13 characters") << u"-a1b2c3d4.jpg"_s << false;
    QTest::newRow("date yyyyMMdd") << u"Trip-20240131.jpg"_s << false;
    QTest::newRow("date MMddyyyy") << u"Trip-01312024.jpg"_s << false;
    QTest::newRow("date ddMMyyyy") << u"Trip-31012024.jpg"_s << false;
    QTest::newRow("digits but no date") << u"Trip-12345678.jpg"_s << true;
    QTest::newRow("a plain photo") << u"IMG_0001.jpg"_s << false;
    QTest::newRow("non-ASCII digit in id") << u"Trip-1234567\u0663.jpg"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void PhotoFileNamesTest::isAppFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, expected);
    QCOMPARE(PhotoFileNames::isAppFileName(name), expected);
}

void PhotoFileNamesTest::isDateStamp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("yyyyMMdd") << u"20240131"_s << true;
    QTest::newRow("MMddyyyy") << u"01312024"_s << true;
    QTest::newRow("ddMMyyyy") << u"31012024"_s << true;
    QTest::newRow("leap day") << u"20240229"_s << true;
    QTest::newRow("no leap day in 2023") << u"20230229"_s << false;
    QTest::newRow("no leap day in 1900 (Gregorian)") << u"19000229"_s << false;
    QTest::newRow("leap day in 2000") << u"20000229"_s << true;
    QTest::newRow("April has 30 days") << u"20240431"_s << false;
    QTest::newRow("year 0 does not exist") << u"00000101"_s << false;
    QTest::newRow("year 1") << u"00010101"_s << true;
    QTest::newRow("month 13 under every pattern") << u"13131313"_s << false;
    QTest::newRow("no pattern reads it back") << u"12345678"_s << false;
    QTest::newRow("letters") << u"2024013a"_s << false;
    QTest::newRow("seven digits") << u"2024013"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void PhotoFileNamesTest::isDateStamp()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(PhotoFileNames::isDateStamp(text), expected);
}

void PhotoFileNamesTest::namesTheSyncWritesAreItsOwnUnlessTheIdIsADate_data()
{
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<bool>("recognised");

    QTest::newRow("hex id") << u"3fa9c21e-0000"_s << true;
    QTest::newRow("all-digit id, no date") << u"99999999-0000"_s << true;
    QTest::newRow("id that forms a date") << u"20240131-0000"_s << false;
}

void PhotoFileNamesTest::namesTheSyncWritesAreItsOwnUnlessTheIdIsADate()
{
    QFETCH(QString, uuid);
    QFETCH(bool, recognised);

    Medium photo;
    photo.uuid = uuid;
    photo.title = u"Trip"_s;
    const std::optional<QString> name = PhotoFileNames::photoFileName(photo);
    QVERIFY(name);
    QCOMPARE(PhotoFileNames::isAppFileName(*name), recognised);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoFileNamesTest)
#include "PhotoFileNamesTest.moc"
