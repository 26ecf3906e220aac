#include "widgets/MessageText.h"

#include <QLabel>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace lumi {

void MessageText::set(QMessageBox& box, const QString& text, const QString& informative)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setInformativeText(informative);
    // The label QMessageBox makes for the informative text, by the name it gives it.
    if (auto* label = box.findChild<QLabel*>(u"qt_msgbox_informativelabel"_s))
        label->setTextFormat(Qt::PlainText);
}

} // namespace lumi
