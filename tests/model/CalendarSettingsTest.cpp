#include "model/CalendarSettings.h"

#include "model/User.h"

#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace lumi;

using Change = std::function<void(CalendarSettings&)>;
using Options = QList<CalendarSettings::Option>;

Q_DECLARE_METATYPE(std::optional<User>)
Q_DECLARE_METATYPE(std::optional<CalendarSettings>)

namespace {

using Field = std::optional<QString> User::*;

// A signed-in user with just these calendar texts stored.
std::optional<User> userWith(std::initializer_list<std::pair<Field, QString>> texts)
{
    User user;
    for (const auto& [field, text] : texts)
        user.*field = text;
    return user;
}

// A medium calendar with one more text.
std::optional<User> medium(Field field, const QString& text)
{
    return userWith({{&User::calendarSize, u"medium"_s}, {field, text}});
}

} // namespace

class CalendarSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void settingsFromStoredTexts_data();
    void settingsFromStoredTexts();
    void pickersListTheirOptions_data();
    void pickersListTheirOptions();
};

void CalendarSettingsTest::settingsFromStoredTexts_data()
{
    QTest::addColumn<std::optional<User>>("user");
    QTest::addColumn<std::optional<CalendarSettings>>("expected");

    const std::optional<CalendarSettings> off;
    const std::optional<CalendarSettings> defaults = CalendarSettings();
    const auto settings = [](const Change& change) {
        CalendarSettings changed;
        change(changed);
        return std::optional(changed);
    };

    QTest::newRow("no user") << std::optional<User>() << off;
    QTest::newRow("size missing") << userWith({{&User::calendarTheme, u"plum"_s}}) << off;
    QTest::newRow("size empty") << userWith({{&User::calendarSize, u""_s}}) << off;
    QTest::newRow("size zero") << userWith(
                                      {{&User::calendarSize, u"zero"_s}, {&User::calendarTheme, u"plum"_s}})
                               << off;
    QTest::newRow("size Zero is a size")
        << userWith({{&User::calendarSize, u"Zero"_s}}) << settings([](auto& s) { s.size = u"Zero"_s; });
    QTest::newRow("only a size: defaults") << userWith({{&User::calendarSize, u"medium"_s}}) << defaults;
    QTest::newRow("everything set") << userWith({{&User::calendarSize, u"xlarge"_s},
                                                 {&User::calendarTheme, u"midnight"_s},
                                                 {&User::calendarPosition, u"bottom_right"_s},
                                                 {&User::calendarOpacity, u"70"_s},
                                                 {&User::calendarStart, u"monday"_s},
                                                 {&User::calendarPast, u"2"_s},
                                                 {&User::calendarFuture, u"1"_s}})
                                    << std::optional(CalendarSettings{u"xlarge"_s, u"midnight"_s,
                                                                      u"bottom_right"_s, 70, u"monday"_s,
                                                                      u"2"_s, u"1"_s});

    QTest::newRow("theme -v2 dropped") << medium(&User::calendarTheme, u"classic-v2"_s) << defaults;
    QTest::newRow("theme only -v2") << medium(&User::calendarTheme, u"-v2"_s) << defaults;
    QTest::newRow("theme -v2 twice") << medium(&User::calendarTheme, u"forest-v2-v2"_s)
                                     << settings([](auto& s) { s.theme = u"forest"_s; });
    QTest::newRow("position empty") << medium(&User::calendarPosition, u""_s) << defaults;
    QTest::newRow("position unknown kept") << medium(&User::calendarPosition, u"middle"_s)
                                           << settings([](auto& s) { s.position = u"middle"_s; });

    const QList<std::pair<QString, int>> opacities{{u"45"_s, 50},
                                                   {u"55"_s, 60},
                                                   {u"75"_s, 80},
                                                   {u"44"_s, 50},
                                                   {u"0"_s, 50},
                                                   {u"100"_s, 100},
                                                   {u"250"_s, 100},
                                                   {u"+70"_s, 70},
                                                   {u"-20"_s, 50},
                                                   {u"5.0"_s, 100},
                                                   {u"abc"_s, 100},
                                                   {u""_s, 100},
                                                   {u" 70"_s, 100},
                                                   {u"99999999999999999999"_s, 100},
                                                   {u"-99999999999999999999"_s, 50}};
    for (const auto& [text, percent] : opacities) {
        QTest::addRow("opacity '%s'", qPrintable(text))
            << medium(&User::calendarOpacity, text) << settings([percent](auto& s) { s.opacity = percent; });
    }

    QTest::newRow("start monday") << medium(&User::calendarStart, u"monday"_s)
                                  << settings([](auto& s) { s.start = u"monday"_s; });
    QTest::newRow("start Monday") << medium(&User::calendarStart, u"Monday"_s) << defaults;

    const QList<std::pair<QString, QString>> counts{
        {u"0"_s, u"none"_s}, {u"-1"_s, u"none"_s}, {u"7"_s, u"2"_s},
        {u"+1"_s, u"1"_s},   {u"01"_s, u"1"_s},    {u"2"_s, u"2"_s},
        {u"x"_s, u"none"_s}, {u""_s, u"none"_s},   {u"1.5"_s, u"none"_s}};
    for (const auto& [text, count] : counts) {
        QTest::addRow("past '%s'", qPrintable(text))
            << medium(&User::calendarPast, text) << settings([count](auto& s) { s.past = count; });
        QTest::addRow("future '%s'", qPrintable(text))
            << medium(&User::calendarFuture, text) << settings([count](auto& s) { s.future = count; });
    }
}

void CalendarSettingsTest::settingsFromStoredTexts()
{
    QFETCH(std::optional<User>, user);
    QFETCH(std::optional<CalendarSettings>, expected);

    QCOMPARE(CalendarSettings::fromUser(user), expected);
}

void CalendarSettingsTest::pickersListTheirOptions_data()
{
    QTest::addColumn<Options>("options");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("size") << CalendarSettings::sizeOptions()
                          << QStringList{u"small|Small"_s, u"medium|Medium"_s, u"large|Large"_s,
                                         u"xlarge|Extra Large"_s, u"xxlarge|Extra Extra Large"_s};
    QTest::newRow("position") << CalendarSettings::positionOptions()
                              << QStringList{u"top_left|Top Left"_s, u"top_right|Top Right"_s,
                                             u"bottom_left|Bottom Left"_s, u"bottom_right|Bottom Right"_s};
    QTest::newRow("start") << CalendarSettings::startOptions()
                           << QStringList{u"sunday|Sunday"_s, u"monday|Monday"_s};
    QTest::newRow("months: the counts show as digits")
        << CalendarSettings::monthOptions() << QStringList{u"none|None"_s, u"1|1"_s, u"2|2"_s};
    QTest::newRow("theme") << CalendarSettings::themeOptions()
                           << QStringList{u"classic|Classic"_s,
                                          u"grey|Simple Grey"_s,
                                          u"skyblue|Sky Blue"_s,
                                          u"blue|Blue"_s,
                                          u"yellow|Pastel Yellow"_s,
                                          u"forest|Forest"_s,
                                          u"plum|Plum"_s,
                                          u"midnight|Midnight"_s,
                                          u"clear|Clear, Dark Text"_s,
                                          u"clear-white|Clear, White Text"_s};
}

void CalendarSettingsTest::pickersListTheirOptions()
{
    QFETCH(Options, options);
    QFETCH(QStringList, expected);

    QStringList described;
    for (const CalendarSettings::Option& option : options)
        described.append(option.value + u'|' + option.label);
    QCOMPARE(described, expected);
}

QTEST_GUILESS_MAIN(CalendarSettingsTest)
#include "CalendarSettingsTest.moc"
