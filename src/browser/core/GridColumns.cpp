#include "browser/core/GridColumns.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QCoreApplication>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr std::array<ChoiceRow, 5> rows{{
    {u"1", nullptr, 1},
    {u"2", nullptr, 2},
    {u"3", nullptr, 3},
    {u"4", nullptr, 4},
    {u"auto", QT_TRANSLATE_NOOP("GridColumns", "Auto (Responsive)"), 0},
}};

} // namespace

const ChoiceTable GridColumns::table("GridColumns", rows);

GridColumns GridColumns::stored(const Defaults& defaults)
{
    return fromSetting(defaults.get(keys::gridColumns));
}

void GridColumns::store(Defaults& defaults) const
{
    defaults.set(keys::gridColumns, value());
}

QString GridColumns::title() const
{
    const std::optional<int> columns = count();
    if (!columns)
        return label();
    // Plain texts: only the automatic setting's title is translated.
    return *columns == 1 ? u"1 Column"_s : u"%1 Columns"_s.arg(*columns);
}

} // namespace lumi
