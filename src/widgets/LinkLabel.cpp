#include "widgets/LinkLabel.h"

#include <QFocusEvent>

namespace lumi {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
}

void LinkLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason)
        focusNextPrevChild(true);
    else if (event->reason() == Qt::BacktabFocusReason)
        focusNextPrevChild(false);
}

} // namespace lumi
