#pragma once

#include "model/ChoiceTable.h"

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

/// The shape shared by the settings that hold one of a fixed set of texts. `Cases` declares the
/// enumeration `Case` in table order; `Derived` supplies its rows as `static const ChoiceTable table`.
/// An absent or unknown stored text counts as `fallback`. Cases compare and hash by identity.
template <typename Derived, typename Cases, typename Cases::Case fallback> class SettingChoice : public Cases
{
public:
    using Case = typename Cases::Case;

    constexpr SettingChoice(Case value) : m_case(value) {}
    constexpr operator Case() const { return m_case; }

    /// Exact, case-sensitive match of the stored text; none for anything else.
    static std::optional<Derived> fromValue(QStringView value)
    {
        const std::optional<int> index = Derived::table.indexOf(value);
        return index ? std::optional<Derived>(Case(*index)) : std::nullopt;
    }

    /// What a stored setting means: absent or unknown texts count as the fallback.
    static Derived fromSetting(const std::optional<QString>& setting)
    {
        return fromValue(setting.value_or(QString())).value_or(Derived(fallback));
    }

    /// Every case in picker order.
    static QList<Derived> all()
    {
        QList<Derived> cases;
        for (int index = 0; index < Derived::table.size(); ++index)
            cases.append(Derived(Case(index)));
        return cases;
    }

    QString value() const { return Derived::table.value(m_case); }
    QString label() const { return Derived::table.label(m_case); }

    friend size_t qHash(Derived choice, size_t seed = 0) noexcept { return ::qHash(int(Case(choice)), seed); }

protected:
    /// The case's own figure from its row.
    int extra() const { return Derived::table.extra(m_case); }
    /// The figure, none where the row has 0.
    std::optional<int> positiveExtra() const { return extra() > 0 ? std::optional(extra()) : std::nullopt; }

private:
    Case m_case;
};

} // namespace lumi
