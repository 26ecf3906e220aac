#include "browser/core/Source.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::PlaceQuery;
using lumi::Source;

class SourceTest final : public QObject
{
    Q_OBJECT

private slots:
    void equalityAndHash_data();
    void equalityAndHash();
    void latestIsTheLatestListing();
};

void SourceTest::equalityAndHash_data()
{
    QTest::addColumn<Source>("first");
    QTest::addColumn<Source>("second");
    QTest::addColumn<bool>("equal");

    const Source country{Source::Places{PlaceQuery{u"italy"_s, std::nullopt, std::nullopt}}};
    QTest::newRow("today") << Source{Source::Today{}} << Source{Source::Today{}} << true;
    QTest::newRow("same category") << Source{Source::Category{u"classic/latest"_s, u"Latest"_s}}
                                   << Source{Source::Category{u"classic/latest"_s, u"Latest"_s}} << true;
    QTest::newRow("category, other title") << Source{Source::Category{u"a/b"_s, u"One"_s}}
                                           << Source{Source::Category{u"a/b"_s, u"Two"_s}} << false;
    QTest::newRow("category, other path") << Source{Source::Category{u"a/b"_s, u"One"_s}}
                                          << Source{Source::Category{u"a/c"_s, u"One"_s}} << false;
    QTest::newRow("same album") << Source{Source::Album{7}} << Source{Source::Album{7}} << true;
    QTest::newRow("other album") << Source{Source::Album{7}} << Source{Source::Album{8}} << false;
    QTest::newRow("search, same term")
        << Source{Source::Search{u"alps"_s}} << Source{Source::Search{u"alps"_s}} << true;
    QTest::newRow("search, case differs")
        << Source{Source::Search{u"alps"_s}} << Source{Source::Search{u"Alps"_s}} << false;
    QTest::newRow("whole places catalog") << Source{Source::Places{}} << Source{Source::Places{}} << true;
    QTest::newRow("no query against a query of absent slugs")
        << Source{Source::Places{}} << Source{Source::Places{PlaceQuery{}}} << false;
    QTest::newRow("same country") << country << country << true;
    QTest::newRow("country against its region")
        << country << Source{Source::Places{PlaceQuery{u"italy"_s, u"tuscany"_s, std::nullopt}}} << false;
    QTest::newRow("empty slug against absent one")
        << Source{Source::Places{PlaceQuery{u""_s, std::nullopt, std::nullopt}}}
        << Source{Source::Places{PlaceQuery{}}} << false;
    QTest::newRow("search against category of the same text")
        << Source{Source::Search{u"x"_s}} << Source{Source::Category{u"x"_s, u"x"_s}} << false;
    QTest::newRow("album 0 against today") << Source{Source::Album{0}} << Source{Source::Today{}} << false;
}

void SourceTest::equalityAndHash()
{
    QFETCH(Source, first);
    QFETCH(Source, second);
    QFETCH(bool, equal);

    QCOMPARE(first == second, equal);
    QCOMPARE(second == first, equal);
    if (equal)
        QCOMPARE(qHash(first, 11), qHash(second, 11));
    // Distinct sources keep apart in a set; equal ones collapse.
    QCOMPARE(QSet<Source>({first, second}).size(), equal ? 1 : 2);
}

void SourceTest::latestIsTheLatestListing()
{
    const Source::Category* latest = Source::latest().as<Source::Category>();
    QVERIFY(latest);
    QCOMPARE(latest->path, u"classic/latest"_s);
    QCOMPARE(latest->title, u"Latest"_s);
    QVERIFY(&Source::latest() == &Source::latest());
}

QTEST_GUILESS_MAIN(SourceTest)
#include "SourceTest.moc"
