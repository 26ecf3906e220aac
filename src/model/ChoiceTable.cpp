#include "model/ChoiceTable.h"

#include <QCoreApplication>
#include <QHashFunctions>

namespace lumi {

size_t qHash(const ChoiceOption& option, size_t seed) noexcept
{
    return qHashMulti(seed, option.value, option.label);
}

std::optional<int> ChoiceTable::indexOf(QStringView value) const
{
    for (int index = 0; index < size(); ++index) {
        if (m_rows[index].value == value)
            return index;
    }
    return std::nullopt;
}

QString ChoiceTable::value(int index) const
{
    return m_rows[index].value.toString();
}

QString ChoiceTable::label(int index) const
{
    const ChoiceRow& row = m_rows[index];
    return row.label ? QCoreApplication::translate(m_context, row.label) : row.value.toString();
}

int ChoiceTable::extra(int index) const
{
    return m_rows[index].extra;
}

QList<ChoiceOption> ChoiceTable::options() const
{
    QList<ChoiceOption> options;
    for (int index = 0; index < size(); ++index)
        options.append({value(index), label(index)});
    return options;
}

} // namespace lumi
