#include "browser/SidebarHeader.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

namespace lumi {

SidebarHeader::SidebarHeader(const QString& title, QWidget* parent)
    : QLabel(title.toUpper(), parent), m_title(title)
{
    setTextFormat(Qt::PlainText);
    setFont(BundledFonts::font(11, QFont::Normal));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Palette::muted());
    setPalette(palette);
    setContentsMargins(12, 16, 12, 4);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAccessibleName(title);
}

} // namespace lumi
