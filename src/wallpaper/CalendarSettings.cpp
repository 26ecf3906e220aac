#include "wallpaper/CalendarSettings.h"

#include "model/User.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr qint64 saturation = 1'000'000'000;

QString nonEmpty(const std::optional<QString>& text)
{
    return text.value_or(QString());
}

QString label(const char* english)
{
    return QCoreApplication::translate("CalendarSettings", english);
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

std::optional<CalendarSettings> CalendarSettings::fromUser(const User& user)
{
    const QString size = nonEmpty(user.calendarSize);
    if (size.isEmpty() || size == u"zero")
        return std::nullopt;

    CalendarSettings settings;
    settings.size = size;

    // Older clients stored theme names with a "-v2" suffix.
    QString theme = nonEmpty(user.calendarTheme);
    theme.remove(u"-v2"_s);
    if (!theme.isEmpty())
        settings.theme = theme;

    if (const QString position = nonEmpty(user.calendarPosition); !position.isEmpty())
        settings.position = position;

    // Whole tens, halves away from zero.
    const int percent = decimal(nonEmpty(user.calendarOpacity)).value_or(100);
    const int tens = (std::abs(percent) + 5) / 10;
    settings.opacity = std::clamp((percent < 0 ? -tens : tens) * 10, 50, 100);

    settings.start = user.calendarStart == u"monday"_s ? u"monday"_s : u"sunday"_s;
    settings.past = monthCount(user.calendarPast);
    settings.future = monthCount(user.calendarFuture);
    return settings;
}

const QList<CalendarSettings::Option>& CalendarSettings::themeOptions()
{
    static const QList<Option> options{
        {u"classic"_s, label("Classic")},
        {u"grey"_s, label("Simple Grey")},
        {u"skyblue"_s, label("Sky Blue")},
        {u"blue"_s, label("Blue")},
        {u"yellow"_s, label("Pastel Yellow")},
        {u"forest"_s, label("Forest")},
        {u"plum"_s, label("Plum")},
        {u"midnight"_s, label("Midnight")},
        {u"clear"_s, label("Clear, Dark Text")},
        {u"clear-white"_s, label("Clear, White Text")},
    };
    return options;
}

const QList<CalendarSettings::Option>& CalendarSettings::sizeOptions()
{
    static const QList<Option> options{
        {u"small"_s, label("Small")},
        {u"medium"_s, label("Medium")},
        {u"large"_s, label("Large")},
        {u"xlarge"_s, label("Extra Large")},
        {u"xxlarge"_s, label("Extra Extra Large")},
    };
    return options;
}

const QList<CalendarSettings::Option>& CalendarSettings::positionOptions()
{
    static const QList<Option> options{
        {u"top_left"_s, label("Top Left")},
        {u"top_right"_s, label("Top Right")},
        {u"bottom_left"_s, label("Bottom Left")},
        {u"bottom_right"_s, label("Bottom Right")},
    };
    return options;
}

const QList<CalendarSettings::Option>& CalendarSettings::startOptions()
{
    static const QList<Option> options{
        {u"sunday"_s, label("Sunday")},
        {u"monday"_s, label("Monday")},
    };
    return options;
}

const QList<CalendarSettings::Option>& CalendarSettings::monthOptions()
{
    // The counts are digits in every language.
    static const QList<Option> options{
        {u"none"_s, label("None")},
        {u"1"_s, u"1"_s},
        {u"2"_s, u"2"_s},
    };
    return options;
}

size_t qHash(const CalendarSettings::Option& option, size_t seed) noexcept
{
    return qHashMulti(seed, option.value, option.label);
}

} // namespace lumi
