#include "support/FakeScreens.h"

namespace lumi::test {

FakeScreens::FakeScreens(QList<DisplayInfo> displays, QObject* parent)
    : Screens(parent), m_displays(std::move(displays))
{
}

void FakeScreens::setDisplays(QList<DisplayInfo> displays)
{
    m_displays = std::move(displays);
    emit displaysChanged();
}

DisplayInfo FakeScreens::display(const QString& name, const QRect& geometry, qreal ratio)
{
    return *DisplayInfo::describe(name, {}, {}, {}, geometry, geometry, ratio);
}

} // namespace lumi::test
