#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// How long the user is idle before the screen saver starts: the "saver_idle" setting.
class SaverIdle final
{
public:
    enum Case {
        never,
        oneMinute,
        twoMinutes,
        fiveMinutes,
        tenMinutes,
        twentyMinutes,
        thirtyMinutes,
        oneHour
    };

    constexpr SaverIdle(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    // Exact, case-sensitive match of the stored text; none for anything else.
    static std::optional<SaverIdle> fromValue(QStringView value);
    // What a stored setting means: absent or unknown texts count as five minutes.
    static SaverIdle fromSetting(const std::optional<QString>& setting);
    // Every case in picker order.
    static QList<SaverIdle> all();

    QString value() const;
    QString label() const;
    // Idle seconds before the saver starts; none when it never starts by itself.
    std::optional<int> seconds() const;

private:
    Case m_case;
};

size_t qHash(SaverIdle idle, size_t seed = 0) noexcept;

} // namespace lumi
