#include "model/SaverIdle.h"

#include <QCoreApplication>

#include <array>

namespace lumi {

namespace {

// Seconds 0 where the saver never starts by itself.
constexpr std::array<ChoiceRow, 8> rows{{
    {u"never", QT_TRANSLATE_NOOP("SaverIdle", "Never"), 0},
    {u"1minute", QT_TRANSLATE_NOOP("SaverIdle", "1 minute"), 60},
    {u"2minutes", QT_TRANSLATE_NOOP("SaverIdle", "2 minutes"), 120},
    {u"5minutes", QT_TRANSLATE_NOOP("SaverIdle", "5 minutes"), 300},
    {u"10minutes", QT_TRANSLATE_NOOP("SaverIdle", "10 minutes"), 600},
    {u"20minutes", QT_TRANSLATE_NOOP("SaverIdle", "20 minutes"), 1200},
    {u"30minutes", QT_TRANSLATE_NOOP("SaverIdle", "30 minutes"), 1800},
    {u"1hour", QT_TRANSLATE_NOOP("SaverIdle", "1 hour"), 3600},
}};

} // namespace

const ChoiceTable SaverIdle::table("SaverIdle", rows);

std::optional<int> SaverIdle::seconds() const
{
    return positiveExtra();
}

} // namespace lumi
