#include "app/SheetFocus.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWindow>

namespace lumi {

SheetFocus::SheetFocus(QObject* parent) : QObject(parent) {}

void SheetFocus::install()
{
    if (!qApp->findChild<SheetFocus*>(QString(), Qt::FindDirectChildrenOnly))
        qApp->installEventFilter(new SheetFocus(qApp));
}

bool SheetFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        auto* sheet = qobject_cast<QDialog*>(watched);
        // Only a sheet the user was in: closing one in the background takes nothing from anyone.
        // Qt has let go of the active widget by now; the window system's focus is still the sheet's.
        if (sheet && sheet->isWindow() && sheet->parentWidget() && sheet->windowHandle() &&
            QGuiApplication::focusWindow() == sheet->windowHandle()) {
            QWidget* under = sheet->parentWidget()->window();
            if (under->isVisible())
                under->activateWindow();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumi
