#include "wallpaper/DisplayChoice.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/FakeScreens.h"
#include "support/TemporaryHome.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QList<DisplayInfo> connected{
    *DisplayInfo::describe(u"eDP-1"_s, u"BOE"_s, u"0x095f"_s, u"7"_s, QRect(0, 0, 1512, 982), {}, 2.0),
    test::FakeScreens::display(u"HDMI-1"_s, QRect(1512, 0, 2560, 1440)),
    test::FakeScreens::display(u"DP-2"_s, QRect(4072, 0, 1920, 1080)),
};

QStringList names(const QList<DisplayInfo>& displays)
{
    QStringList list;
    for (const DisplayInfo& display : displays)
        list.append(display.name);
    return list;
}

} // namespace

class DisplayChoiceTest final : public QObject
{
    Q_OBJECT

private slots:
    void enabledDisplays_data();
    void enabledDisplays();
    void showDialog_data();
    void showDialog();
    void namesAndIdentifiers();

private:
    test::TemporaryHome m_home;
};

void DisplayChoiceTest::enabledDisplays_data()
{
    QTest::addColumn<QVariant>("off");
    QTest::addColumn<QStringList>("expected");

    const QStringList all{u"eDP-1"_s, u"HDMI-1"_s, u"DP-2"_s};
    QTest::newRow("nothing stored") << QVariant() << all;
    QTest::newRow("one switched off, by its EDID identity")
        << QVariant(QStringList{u"BOE|0x095f|7"_s}) << QStringList{u"HDMI-1"_s, u"DP-2"_s};
    QTest::newRow("one switched off, by its output name")
        << QVariant(QStringList{u"DP-2"_s}) << QStringList{u"eDP-1"_s, u"HDMI-1"_s};
    QTest::newRow("a display not connected changes nothing") << QVariant(QStringList{u"VGA-9"_s}) << all;
    QTest::newRow("all switched off gives all of them")
        << QVariant(QStringList{u"BOE|0x095f|7"_s, u"HDMI-1"_s, u"DP-2"_s}) << all;
    QTest::newRow("not a list of texts counts as nothing") << QVariant(u"HDMI-1"_s) << all;
}

void DisplayChoiceTest::enabledDisplays()
{
    QFETCH(QVariant, off);
    QFETCH(QStringList, expected);
    Defaults& defaults = Defaults::shared();
    if (off.isValid())
        defaults.setValue(keys::wallpaperDisplaysOff.name, off);
    else
        defaults.remove(keys::wallpaperDisplaysOff.name);

    QCOMPARE(names(DisplayChoice::enabledDisplays(defaults, connected)), expected);
    // The choice is only read, never tidied up.
    QCOMPARE(defaults.contains(keys::wallpaperDisplaysOff.name), off.isValid());
}

void DisplayChoiceTest::showDialog_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("absent") << QVariant() << true;
    QTest::newRow("false") << QVariant(false) << false;
    QTest::newRow("true") << QVariant(true) << true;
    QTest::newRow("not a boolean") << QVariant(u"false"_s) << true;
}

void DisplayChoiceTest::showDialog()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, expected);
    Defaults& defaults = Defaults::shared();
    if (stored.isValid())
        defaults.setValue(keys::showDisplaysDialog.name, stored);
    else
        defaults.remove(keys::showDisplaysDialog.name);
    QCOMPARE(DisplayChoice::showDialog(defaults), expected);
}

void DisplayChoiceTest::namesAndIdentifiers()
{
    QCOMPARE(DisplayChoice::displayName(connected[0]), u"eDP-1 (3024 × 1964)"_s);
    QCOMPARE(DisplayChoice::displayName(connected[1]), u"HDMI-1 (2560 × 1440)"_s);
    QCOMPARE(DisplayChoice::displayID(connected[0]), u"BOE|0x095f|7"_s);
    DisplayInfo nameless = connected[2];
    nameless.displayId.clear();
    QCOMPARE(DisplayChoice::displayID(nameless), QString::number(nameless.number));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DisplayChoiceTest)
#include "DisplayChoiceTest.moc"
