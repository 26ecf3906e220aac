#pragma once

#include <QList>
#include <QStringView>

#include <array>
#include <optional>

namespace lumi {

// Lookups shared by the setting enumerations, each described by a table of rows that carry
// `kind` (the case) and `value` (the stored text).

/// The case whose stored text is exactly value; none for anything else.
template <typename Setting, typename Row, std::size_t N>
std::optional<Setting> settingForValue(const std::array<Row, N>& rows, QStringView value)
{
    for (const Row& row : rows) {
        if (row.value == value)
            return Setting(row.kind);
    }
    return std::nullopt;
}

/// Every case in table order.
template <typename Setting, typename Row, std::size_t N>
QList<Setting> allSettings(const std::array<Row, N>& rows)
{
    QList<Setting> cases;
    for (const Row& row : rows)
        cases.append(Setting(row.kind));
    return cases;
}

} // namespace lumi
