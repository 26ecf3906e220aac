#include "player/Transition.h"

#include <QEasingCurve>
#include <QPointF>

#include <algorithm>

using namespace std::chrono_literals;

namespace lumi {

namespace {

// The usual ease-in-out timing curve of desktop animations.
const QEasingCurve& easeInOut()
{
    static const QEasingCurve curve = [] {
        QEasingCurve bezier(QEasingCurve::BezierSpline);
        bezier.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
        return bezier;
    }();
    return curve;
}

} // namespace

Transition Transition::forMode(const PlayMode& mode, std::chrono::milliseconds start)
{
    std::chrono::milliseconds duration = 1600ms;
    if (mode.effect() == SaverEffect::slider)
        duration = 1200ms;
    else if (mode.effect() == SaverEffect::reflections)
        duration = 2000ms;
    return Transition{start, duration};
}

qreal Transition::linearProgress(std::chrono::milliseconds now) const
{
    if (duration <= 0ms)
        return now >= start ? 1 : 0;
    return std::clamp(qreal((now - start).count()) / qreal(duration.count()), qreal(0), qreal(1));
}

qreal Transition::progress(std::chrono::milliseconds now) const
{
    return easeInOut().valueForProgress(linearProgress(now));
}

} // namespace lumi
