#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace lumi {

/// One case of a setting choice: the text stored in the settings, the English label (looked up
/// in the translations; none shows the stored text itself) and a figure of the case's own, such
/// as its seconds.
struct ChoiceRow final
{
    QStringView value;
    const char* label = nullptr;
    int extra = 0;
};

/// One entry of a picker: the stored value and the label shown.
struct ChoiceOption final
{
    QString value;
    QString label;

    bool operator==(const ChoiceOption&) const = default;
};

size_t qHash(const ChoiceOption& option, size_t seed = 0) noexcept;

/// The fixed, ordered rows of one setting choice; a row's position is its case. Labels are
/// translated in the table's context.
class ChoiceTable final
{
public:
    constexpr ChoiceTable(const char* context, std::span<const ChoiceRow> rows)
        : m_context(context), m_rows(rows)
    {
    }

    /// Position of the row whose stored text is exactly value (case-sensitive); none for
    /// anything else, the empty text included.
    std::optional<int> indexOf(QStringView value) const;
    int size() const { return int(m_rows.size()); }

    QString value(int index) const;
    QString label(int index) const;
    int extra(int index) const;
    /// Every row as a picker entry, in table order.
    QList<ChoiceOption> options() const;

private:
    const char* m_context;
    std::span<const ChoiceRow> m_rows;
};

} // namespace lumi
