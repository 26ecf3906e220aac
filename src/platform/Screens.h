#pragma once

#include "platform/DisplayInfo.h"

#include <QList>
#include <QObject>
#include <QString>

namespace lumi {

/// The displays connected now. The app reads them through this role so tests and the rotation can
/// work with any screen set.
class Screens : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Screens() override = default;

    /// Every usable display in the system's order (primary first); screens without a usable size
    /// are left out.
    virtual QList<DisplayInfo> displays() const = 0;

    /// "WxH" in device pixels of the first display; empty without one.
    QString resolution() const;

signals:
    /// Displays were added, removed, moved or resized. Bursts of changes (a dock being plugged in
    /// reports several) arrive as one notification once things have settled.
    void displaysChanged();
};

} // namespace lumi
