#pragma once

#include <QObject>

namespace lumi {

/// Presses of keys and buttons anywhere on the desktop, also those another client's grab takes,
/// for ending the screen saver. Pointer motion, releases and a held key's auto-repeat are not
/// presses.
class InputActivity : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InputActivity)

public:
    using QObject::QObject;
    ~InputActivity() override = default;

    /// Starts reporting presses; false when the system cannot report them, which is logged.
    virtual bool start() = 0;
    /// Stops reporting (the watch costs nothing while the saver is off).
    virtual void stop() = 0;

signals:
    void pressed();
};

} // namespace lumi
