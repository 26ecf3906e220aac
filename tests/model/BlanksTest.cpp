#include "model/Blanks.h"

#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Blanks;

/// What the user typed loses the blanks and tabs at its ends, and nothing else.
class BlanksTest final : public QObject
{
    Q_OBJECT

private slots:
    void trimmed_data();
    void trimmed();
};

void BlanksTest::trimmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent");

    QTest::newRow("blanks and tabs") << u" \t Lakes \t"_s << u"Lakes"_s;
    QTest::newRow("no-break and wide spaces") << u"\u00A0Lakes\u3000"_s << u"Lakes"_s;
    QTest::newRow("inner blanks stay") << u"Alpine  Lakes"_s << u"Alpine  Lakes"_s;
    QTest::newRow("line breaks stay") << u"\nLakes\n"_s << u"\nLakes\n"_s;
    QTest::newRow("blanks alone") << u" \t "_s << QString();
}

void BlanksTest::trimmed()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    QCOMPARE(Blanks::trimmed(typed), sent);
}

QTEST_MAIN(BlanksTest)
#include "BlanksTest.moc"
