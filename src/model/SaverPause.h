#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// How long each photo stays in the screen saver: the "saver_pause" setting. The stored value is
// the case's position as one digit ("3" is twenty seconds), as the older clients wrote it.
class SaverPause final
{
public:
    enum Case { three, five, ten, twenty, thirty, sixty };

    constexpr SaverPause(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    // "0" to "5"; none for anything else.
    static std::optional<SaverPause> fromValue(QStringView value);
    // What a stored setting means: absent or unknown texts count as ten seconds.
    static SaverPause fromSetting(const std::optional<QString>& setting);
    // Every case in picker order.
    static QList<SaverPause> all();

    QString value() const;
    // "<seconds> seconds".
    QString label() const;
    int seconds() const;

private:
    Case m_case;
};

size_t qHash(SaverPause pause, size_t seed = 0) noexcept;

} // namespace lumi
