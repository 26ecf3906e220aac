#include "model/RotationInterval.h"

#include <QCoreApplication>

#include <array>

namespace lumi {

namespace {

// Seconds 0 where the change is not timed.
constexpr std::array<ChoiceRow, 9> rows{{
    {u"never", QT_TRANSLATE_NOOP("RotationInterval", "Never"), 0},
    {u"1minute", QT_TRANSLATE_NOOP("RotationInterval", "Every minute"), 60},
    {u"5minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 5 minutes"), 300},
    {u"10minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 10 minutes"), 600},
    {u"20minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 20 minutes"), 1200},
    {u"30minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 30 minutes"), 1800},
    {u"1hour", QT_TRANSLATE_NOOP("RotationInterval", "Every hour"), 3600},
    {u"2hours", QT_TRANSLATE_NOOP("RotationInterval", "Every 2 hours"), 7200},
    {u"1day", QT_TRANSLATE_NOOP("RotationInterval", "Every day"), 0},
}};

} // namespace

const ChoiceTable RotationInterval::table("RotationInterval", rows);

std::optional<int> RotationInterval::seconds() const
{
    return positiveExtra();
}

} // namespace lumi
