#pragma once

#include "platform/Screens.h"

namespace lumi::test {

/// A screen set the test decides.
class FakeScreens final : public Screens
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FakeScreens)

public:
    explicit FakeScreens(QList<DisplayInfo> displays = {}, QObject* parent = nullptr);

    QList<DisplayInfo> displays() const override { return m_displays; }
    /// Replaces the set and notifies once, as the real screens do after settling.
    void setDisplays(QList<DisplayInfo> displays);

    /// A usable display record: number and id from the name, pixel size from geometry × ratio.
    static DisplayInfo display(const QString& name, const QRect& geometry, qreal ratio = 1.0);

private:
    QList<DisplayInfo> m_displays;
};

} // namespace lumi::test
