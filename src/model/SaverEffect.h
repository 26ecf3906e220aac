#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// The screen saver's effect: the "saver_show" setting, which may also hold "random".
class SaverEffect final
{
public:
    enum Case { fader, faller, fourup, kber, slider, reflections };

    constexpr SaverEffect(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    // The setting's text for a different effect on every screen; it names no case.
    static QString randomValue();

    // Exact, case-sensitive match of the stored text; none for anything else, "random" included.
    static std::optional<SaverEffect> fromValue(QStringView value);
    // What a stored setting plays: none for "random" (each screen draws its own), fader when the
    // setting is absent or names no effect.
    static std::optional<SaverEffect> fromSetting(const std::optional<QString>& setting);
    // Every case in picker order.
    static QList<SaverEffect> all();

    QString value() const;
    QString label() const;

private:
    Case m_case;
};

size_t qHash(SaverEffect effect, size_t seed = 0) noexcept;

} // namespace lumi
