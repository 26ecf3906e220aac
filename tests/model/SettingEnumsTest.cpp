#include "model/MediaFormat.h"
#include "model/RotationInterval.h"
#include "model/SaverEffect.h"
#include "model/SaverIdle.h"
#include "model/SaverPause.h"
#include "model/WallpaperFit.h"

#include <QSize>
#include <QTest>

#include <type_traits>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// "value|label|seconds" for every case in list order; seconds -1 when the case has none.
template <typename Enum> QStringList describeAll()
{
    QStringList rows;
    for (const Enum item : Enum::all()) {
        int seconds = -1;
        if constexpr (std::is_same_v<Enum, SaverPause>)
            seconds = item.seconds();
        else if constexpr (requires { item.seconds(); })
            seconds = item.seconds().value_or(-1);
        rows.append(u"%1|%2|%3"_s.arg(item.value(), item.label()).arg(seconds));
        // Every stored text reads back as its own case.
        if (Enum::fromValue(item.value()) != item)
            rows.append(u"! %1 does not read back"_s.arg(item.value()));
    }
    return rows;
}

// The case a stored text reads as, or "-" for none; then what the setting counts as.
template <typename Enum> QString readStored(const std::optional<QString>& text)
{
    const auto exact = Enum::fromValue(text.value_or(QString()));
    const auto effective = Enum::fromSetting(text);
    return (exact ? exact->value() : u"-"_s) + u" => "_s + [&] {
        if constexpr (std::is_same_v<Enum, SaverEffect>)
            return effective ? effective->value() : u"random"_s;
        else
            return effective.value();
    }();
}

} // namespace

class SettingEnumsTest final : public QObject
{
    Q_OBJECT

private slots:
    void casesHaveTheirStoredTextsAndLabels_data();
    void casesHaveTheirStoredTextsAndLabels();
    void storedTextsAreReadExactly_data();
    void storedTextsAreReadExactly();
    void bestFitPicksNearestAspectThenWidth_data();
    void bestFitPicksNearestAspectThenWidth();
};

void SettingEnumsTest::casesHaveTheirStoredTextsAndLabels_data()
{
    QTest::addColumn<QStringList>("described");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("rotation interval") << describeAll<RotationInterval>()
                                       << QStringList{u"never|Never|-1"_s,
                                                      u"1minute|Every minute|60"_s,
                                                      u"5minutes|Every 5 minutes|300"_s,
                                                      u"10minutes|Every 10 minutes|600"_s,
                                                      u"20minutes|Every 20 minutes|1200"_s,
                                                      u"30minutes|Every 30 minutes|1800"_s,
                                                      u"1hour|Every hour|3600"_s,
                                                      u"2hours|Every 2 hours|7200"_s,
                                                      u"1day|Every day|-1"_s};
    QTest::newRow("saver idle") << describeAll<SaverIdle>()
                                << QStringList{u"never|Never|-1"_s,
                                               u"1minute|1 minute|60"_s,
                                               u"2minutes|2 minutes|120"_s,
                                               u"5minutes|5 minutes|300"_s,
                                               u"10minutes|10 minutes|600"_s,
                                               u"20minutes|20 minutes|1200"_s,
                                               u"30minutes|30 minutes|1800"_s,
                                               u"1hour|1 hour|3600"_s};
    QTest::newRow("saver pause") << describeAll<SaverPause>()
                                 << QStringList{u"0|3 seconds|3"_s,   u"1|5 seconds|5"_s,
                                                u"2|10 seconds|10"_s, u"3|20 seconds|20"_s,
                                                u"4|30 seconds|30"_s, u"5|60 seconds|60"_s};
    QTest::newRow("saver effect") << describeAll<SaverEffect>()
                                  << QStringList{u"fader|Fader|-1"_s,    u"faller|Faller|-1"_s,
                                                 u"fourup|Four-up|-1"_s, u"kber|Panner|-1"_s,
                                                 u"slider|Slider|-1"_s,  u"reflections|Reflections|-1"_s};
    QTest::newRow("wallpaper fit") << describeAll<WallpaperFit>()
                                   << QStringList{u"fill|Fill (crop the edges)|-1"_s,
                                                  u"fit|Fit (whole photo)|-1"_s};
}

void SettingEnumsTest::casesHaveTheirStoredTextsAndLabels()
{
    QFETCH(QStringList, described);
    QFETCH(QStringList, expected);
    QCOMPARE(described, expected);
}

void SettingEnumsTest::storedTextsAreReadExactly_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("expected");

    QTest::newRow("interval") << readStored<RotationInterval>(u"2hours"_s) << u"2hours => 2hours"_s;
    QTest::newRow("interval in other case") << readStored<RotationInterval>(u"1Hour"_s) << u"- => 1hour"_s;
    QTest::newRow("interval with blank") << readStored<RotationInterval>(u" 1day"_s) << u"- => 1hour"_s;
    QTest::newRow("interval empty") << readStored<RotationInterval>(u""_s) << u"- => 1hour"_s;
    QTest::newRow("interval absent") << readStored<RotationInterval>(std::nullopt) << u"- => 1hour"_s;
    QTest::newRow("idle never") << readStored<SaverIdle>(u"never"_s) << u"never => never"_s;
    QTest::newRow("idle as seconds") << readStored<SaverIdle>(u"300"_s) << u"- => 5minutes"_s;
    QTest::newRow("idle absent") << readStored<SaverIdle>(std::nullopt) << u"- => 5minutes"_s;
    QTest::newRow("pause position") << readStored<SaverPause>(u"3"_s) << u"3 => 3"_s;
    QTest::newRow("pause past the list") << readStored<SaverPause>(u"6"_s) << u"- => 2"_s;
    QTest::newRow("pause as seconds") << readStored<SaverPause>(u"10"_s) << u"- => 2"_s;
    QTest::newRow("pause absent") << readStored<SaverPause>(std::nullopt) << u"- => 2"_s;
    QTest::newRow("effect") << readStored<SaverEffect>(u"kber"_s) << u"kber => kber"_s;
    QTest::newRow("effect random") << readStored<SaverEffect>(u"random"_s) << u"- => random"_s;
    QTest::newRow("effect by label") << readStored<SaverEffect>(u"Panner"_s) << u"- => fader"_s;
    QTest::newRow("effect absent") << readStored<SaverEffect>(std::nullopt) << u"- => fader"_s;
    QTest::newRow("fit") << readStored<WallpaperFit>(u"fit"_s) << u"fit => fit"_s;
    QTest::newRow("fit in other case") << readStored<WallpaperFit>(u"Fit"_s) << u"- => fill"_s;
    QTest::newRow("fit absent") << readStored<WallpaperFit>(std::nullopt) << u"- => fill"_s;
}

void SettingEnumsTest::storedTextsAreReadExactly()
{
    QFETCH(QString, read);
    QFETCH(QString, expected);
    QCOMPARE(read, expected);
}

void SettingEnumsTest::bestFitPicksNearestAspectThenWidth_data()
{
    QTest::addColumn<QSize>("display");
    QTest::addColumn<QSize>("format");

    QTest::newRow("full HD") << QSize(1920, 1080) << QSize(2560, 1440);
    QTest::newRow("4K") << QSize(3840, 2160) << QSize(3840, 2160);
    QTest::newRow("6K") << QSize(6016, 3384) << QSize(5120, 2880);
    QTest::newRow("laptop 1.54") << QSize(3024, 1964) << QSize(3456, 2234);
    QTest::newRow("16:10") << QSize(2560, 1600) << QSize(2880, 1800);
    QTest::newRow("4:3") << QSize(1024, 768) << QSize(2048, 1536);
    QTest::newRow("ultra-wide") << QSize(5120, 2160) << QSize(3440, 1440);
    QTest::newRow("width tie goes to the earlier row") << QSize(3200, 1800) << QSize(2560, 1440);
    QTest::newRow("super-wide width tie") << QSize(4480, 1260) << QSize(3840, 1080);
    QTest::newRow("square") << QSize(1, 1) << QSize(1280, 1024);
    QTest::newRow("portrait") << QSize(1080, 1920) << QSize(1280, 1024);
    QTest::newRow("no width") << QSize(0, 1080) << QSize(2560, 1440);
    QTest::newRow("no height") << QSize(1920, 0) << QSize(2560, 1440);
    QTest::newRow("negative") << QSize(-1920, -1080) << QSize(2560, 1440);
}

void SettingEnumsTest::bestFitPicksNearestAspectThenWidth()
{
    QFETCH(QSize, display);
    QFETCH(QSize, format);

    const MediaFormat fit = MediaFormat::bestFit(display.width(), display.height());
    QCOMPARE(QSize(fit.width, fit.height), format);
    // The answer is a catalog row, its listed aspect included.
    QVERIFY(MediaFormat::all().contains(fit));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::SettingEnumsTest)
#include "SettingEnumsTest.moc"
