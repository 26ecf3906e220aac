#include "model/SaverPause.h"

#include <QCoreApplication>

#include <array>

namespace lumi {

namespace {

// The label is counted, so the rows carry none; see label().
constexpr std::array<ChoiceRow, 6> rows{{
    {u"0", nullptr, 3},
    {u"1", nullptr, 5},
    {u"2", nullptr, 10},
    {u"3", nullptr, 20},
    {u"4", nullptr, 30},
    {u"5", nullptr, 60},
}};

} // namespace

const ChoiceTable SaverPause::table("SaverPause", rows);

QString SaverPause::label() const
{
    return QCoreApplication::translate("SaverPause", "%n seconds", nullptr, seconds());
}

int SaverPause::seconds() const
{
    return extra();
}

} // namespace lumi
