#include "model/CalendarSettings.h"

#include "model/User.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr qint64 saturation = 1'000'000'000;

QString nonEmpty(const std::optional<QString>& text)
{
    return text.value_or(QString());
}

constexpr std::array<ChoiceRow, 10> themeRows{{
    {u"classic", QT_TRANSLATE_NOOP("CalendarSettings", "Classic")},
    {u"grey", QT_TRANSLATE_NOOP("CalendarSettings", "Simple Grey")},
    {u"skyblue", QT_TRANSLATE_NOOP("CalendarSettings", "Sky Blue")},
    {u"blue", QT_TRANSLATE_NOOP("CalendarSettings", "Blue")},
    {u"yellow", QT_TRANSLATE_NOOP("CalendarSettings", "Pastel Yellow")},
    {u"forest", QT_TRANSLATE_NOOP("CalendarSettings", "Forest")},
    {u"plum", QT_TRANSLATE_NOOP("CalendarSettings", "Plum")},
    {u"midnight", QT_TRANSLATE_NOOP("CalendarSettings", "Midnight")},
    {u"clear", QT_TRANSLATE_NOOP("CalendarSettings", "Clear, Dark Text")},
    {u"clear-white", QT_TRANSLATE_NOOP("CalendarSettings", "Clear, White Text")},
}};

constexpr std::array<ChoiceRow, 5> sizeRows{{
    {u"small", QT_TRANSLATE_NOOP("CalendarSettings", "Small")},
    {u"medium", QT_TRANSLATE_NOOP("CalendarSettings", "Medium")},
    {u"large", QT_TRANSLATE_NOOP("CalendarSettings", "Large")},
    {u"xlarge", QT_TRANSLATE_NOOP("CalendarSettings", "Extra Large")},
    {u"xxlarge", QT_TRANSLATE_NOOP("CalendarSettings", "Extra Extra Large")},
}};

constexpr std::array<ChoiceRow, 4> positionRows{{
    {u"top_left", QT_TRANSLATE_NOOP("CalendarSettings", "Top Left")},
    {u"top_right", QT_TRANSLATE_NOOP("CalendarSettings", "Top Right")},
    {u"bottom_left", QT_TRANSLATE_NOOP("CalendarSettings", "Bottom Left")},
    {u"bottom_right", QT_TRANSLATE_NOOP("CalendarSettings", "Bottom Right")},
}};

constexpr std::array<ChoiceRow, 2> startRows{{
    {u"sunday", QT_TRANSLATE_NOOP("CalendarSettings", "Sunday")},
    {u"monday", QT_TRANSLATE_NOOP("CalendarSettings", "Monday")},
}};

// The counts are digits in every language, so they carry no label.
constexpr std::array<ChoiceRow, 3> monthRows{{
    {u"none", QT_TRANSLATE_NOOP("CalendarSettings", "None")},
    {u"1"},
    {u"2"},
}};

// Built once, on first use.
template <const auto& rows> const QList<CalendarSettings::Option>& optionsOf()
{
    static const QList<CalendarSettings::Option> options = ChoiceTable("CalendarSettings", rows).options();
    return options;
}

} // namespace

std::optional<int> CalendarSettings::decimal(const QString& text)
{
    QStringView digits(text);
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == u'+' || digits.front() == u'-')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(saturation, value * 10 + (c.unicode() - u'0'));
    }
    return int(negative ? -value : value);
}

QString CalendarSettings::monthCount(const std::optional<QString>& text)
{
    const std::optional<int> count = decimal(nonEmpty(text));
    if (!count || *count < 1)
        return u"none"_s;
    return QString::number(std::min(*count, 2));
}

std::optional<CalendarSettings> CalendarSettings::fromUser(const std::optional<User>& user)
{
    if (!user)
        return std::nullopt;
    const QString size = nonEmpty(user->calendarSize);
    if (size.isEmpty() || size == u"zero")
        return std::nullopt;

    CalendarSettings settings;
    settings.size = size;

    // Older clients stored theme names with a "-v2" suffix.
    QString theme = nonEmpty(user->calendarTheme);
    theme.remove(u"-v2"_s);
    if (!theme.isEmpty())
        settings.theme = theme;

    if (const QString position = nonEmpty(user->calendarPosition); !position.isEmpty())
        settings.position = position;

    // Whole tens, halves away from zero.
    const int percent = decimal(nonEmpty(user->calendarOpacity)).value_or(100);
    const int tens = (std::abs(percent) + 5) / 10;
    settings.opacity = std::clamp((percent < 0 ? -tens : tens) * 10, 50, 100);

    settings.start = user->calendarStart == u"monday"_s ? u"monday"_s : u"sunday"_s;
    settings.past = monthCount(user->calendarPast);
    settings.future = monthCount(user->calendarFuture);
    return settings;
}

const QList<CalendarSettings::Option>& CalendarSettings::themeOptions()
{
    return optionsOf<themeRows>();
}

const QList<CalendarSettings::Option>& CalendarSettings::sizeOptions()
{
    return optionsOf<sizeRows>();
}

const QList<CalendarSettings::Option>& CalendarSettings::positionOptions()
{
    return optionsOf<positionRows>();
}

const QList<CalendarSettings::Option>& CalendarSettings::startOptions()
{
    return optionsOf<startRows>();
}

const QList<CalendarSettings::Option>& CalendarSettings::monthOptions()
{
    return optionsOf<monthRows>();
}

} // namespace lumi
