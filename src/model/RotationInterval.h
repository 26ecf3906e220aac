#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// How often the wallpaper changes: the "rotate_desktop" setting.
class RotationInterval final
{
public:
    enum Case {
        never,
        oneMinute,
        fiveMinutes,
        tenMinutes,
        twentyMinutes,
        thirtyMinutes,
        oneHour,
        twoHours,
        oneDay
    };

    constexpr RotationInterval(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    // Exact, case-sensitive match of the stored text; none for anything else.
    static std::optional<RotationInterval> fromValue(QStringView value);
    // What a stored setting means for the rotation: absent or unknown texts count as an hour.
    static RotationInterval fromSetting(const std::optional<QString>& setting);
    // Every case in picker order.
    static QList<RotationInterval> all();

    QString value() const;
    QString label() const;
    // Seconds between timed changes; none for never and for once a calendar day.
    std::optional<int> seconds() const;

private:
    Case m_case;
};

size_t qHash(RotationInterval interval, size_t seed = 0) noexcept;

} // namespace lumi
