#include "widgets/Palette.h"

namespace lumi {

QPalette Palette::widgets()
{
    QPalette light(QColor(239, 239, 239), QColor(246, 246, 246));
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::AlternateBase, QColor(246, 246, 246));
    light.setColor(QPalette::ToolTipBase, Qt::white);
    for (const QPalette::ColorRole text :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::ToolTipText, QPalette::Link})
        light.setColor(text, dark());
    light.setColor(QPalette::PlaceholderText, muted());
    light.setColor(QPalette::Highlight, dark());
    light.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole text : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        light.setColor(QPalette::Disabled, text, QColor(160, 158, 160));
    return light;
}

} // namespace lumi
