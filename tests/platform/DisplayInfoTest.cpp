#include "platform/DisplayInfo.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace lumi {

class DisplayInfoTest final : public QObject
{
    Q_OBJECT

private slots:
    void numberIsFnv1aOfTheName_data();
    void numberIsFnv1aOfTheName();
    void describe_data();
    void describe();
};

void DisplayInfoTest::numberIsFnv1aOfTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("number");
    // Published FNV-1a test vectors, then RandR names (UTF-8 bytes for non-ASCII).
    QTest::newRow("empty") << QString() << 2166136261u;
    QTest::newRow("a") << u"a"_s << 3826002220u;
    QTest::newRow("foobar") << u"foobar"_s << 3214735720u;
    QTest::newRow("output name") << u"HDMI-1"_s << 494947269u;
    QTest::newRow("monitor name") << u"LEFT"_s << 272375920u;
    QTest::newRow("non-ASCII") << u"Écran"_s << 1102866411u;
}

void DisplayInfoTest::numberIsFnv1aOfTheName()
{
    QFETCH(QString, name);
    QFETCH(quint32, number);
    QCOMPARE(DisplayInfo::numberForName(name), number);
}

void DisplayInfoTest::describe_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("pixels"); // invalid: the screen is skipped
    QTest::addColumn<QString>("displayId");

    const QString unknown;
    const QSize skipped;
    QTest::newRow("plain") << unknown << QRect(0, 0, 1920, 1080) << 1.0 << QSize(1920, 1080) << u"DP-2"_s;
    QTest::newRow("ratio 2") << unknown << QRect(1920, 0, 1440, 900) << 2.0 << QSize(2880, 1800) << u"DP-2"_s;
    QTest::newRow("fraction cut toward zero")
        << unknown << QRect(0, 0, 1366, 767) << 1.25 << QSize(1707, 958) << u"DP-2"_s;
    QTest::newRow("serial known") << u"SN42"_s << QRect(0, 0, 2560, 1440) << 1.0 << QSize(2560, 1440)
                                  << u"Dell|U2720Q|SN42"_s;
    QTest::newRow("zero width") << unknown << QRect(0, 0, 0, 1080) << 1.0 << skipped << QString();
    QTest::newRow("zero height") << unknown << QRect(0, 0, 1920, 0) << 1.0 << skipped << QString();
    QTest::newRow("zero ratio") << unknown << QRect(0, 0, 1920, 1080) << 0.0 << skipped << QString();
    QTest::newRow("negative ratio") << unknown << QRect(0, 0, 1920, 1080) << -1.0 << skipped << QString();
    QTest::newRow("NaN ratio") << unknown << QRect(0, 0, 1920, 1080)
                               << std::numeric_limits<qreal>::quiet_NaN() << skipped << QString();
    QTest::newRow("infinite ratio") << unknown << QRect(0, 0, 1920, 1080)
                                    << std::numeric_limits<qreal>::infinity() << skipped << QString();
    QTest::newRow("ratio too small for a pixel")
        << unknown << QRect(0, 0, 1, 1) << 0.5 << skipped << QString();
}

void DisplayInfoTest::describe()
{
    QFETCH(QString, serial);
    QFETCH(QRect, geometry);
    QFETCH(qreal, ratio);
    QFETCH(QSize, pixels);
    QFETCH(QString, displayId);

    const auto info =
        DisplayInfo::describe(u"DP-2"_s, u"Dell"_s, u"U2720Q"_s, serial, geometry, geometry, ratio);
    QCOMPARE(info.has_value(), pixels.isValid());
    if (!info)
        return;
    QCOMPARE(info->pixelSize, pixels);
    QCOMPARE(info->displayId, displayId);
    QCOMPARE(info->number, DisplayInfo::numberForName(u"DP-2"_s));
    QCOMPARE(info->key(), QString::number(DisplayInfo::numberForName(u"DP-2"_s)));
    QCOMPARE(info->geometry, geometry);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DisplayInfoTest)
#include "DisplayInfoTest.moc"
