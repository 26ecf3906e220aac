#include "model/Graphemes.h"

#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Graphemes;

class GraphemesTest final : public QObject
{
    Q_OBJECT

private slots:
    void cutsBetweenCharacters_data();
    void cutsBetweenCharacters();
};

void GraphemesTest::cutsBetweenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    const QString family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s; // one character, eight code units
    const QString accented = u"e\u0301"_s;
    QTest::newRow("plain") << u"abcdef"_s << 4 << 6 << u"abcd"_s << u"cdef"_s;
    QTest::newRow("shorter than the limit") << u"ab"_s << 4 << 2 << u"ab"_s << u"ab"_s;
    QTest::newRow("joined emoji kept whole")
        << (u"a"_s + family + u"b"_s) << 2 << 3 << (u"a"_s + family) << (family + u"b"_s);
    QTest::newRow("combining accent kept whole")
        << (accented + accented + accented) << 2 << 3 << (accented + accented) << (accented + accented);
    QTest::newRow("more code units than characters")
        << (family + family) << 2 << 2 << (family + family) << (family + family);
    QTest::newRow("zero") << u"abc"_s << 0 << 3 << QString() << QString();
}

void GraphemesTest::cutsBetweenCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);

    QCOMPARE(Graphemes::count(text), count);
    QCOMPARE(Graphemes::first(text, limit), first);
    QCOMPARE(Graphemes::last(text, limit), last);
}

QTEST_GUILESS_MAIN(GraphemesTest)
#include "GraphemesTest.moc"
