#pragma once

#include <QObject>

namespace lumi {

/// Gives the keyboard back to the window a sheet covered, once the sheet closes. Whether the
/// window manager activates that window again differs from desktop to desktop (and without one
/// nothing does), which left the focus nowhere; activated again, the window puts the focus back
/// on the widget that had it. Watches every dialog of the app from one event filter.
class SheetFocus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SheetFocus)

public:
    /// Watches from now on; a second call changes nothing.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit SheetFocus(QObject* parent);
};

} // namespace lumi
