#include "widgets/BannerActionStyle.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QAbstractButton>

using namespace Qt::StringLiterals;

namespace lumi {

void BannerActionStyle::apply(QAbstractButton& button)
{
    button.setFont(BundledFonts::font(12, QFont::Normal));
    button.setStyleSheet(u"QPushButton { color: %1; background: %2; border: none; border-radius: 14px;"
                         " padding: 7px 14px; }"
                         " QPushButton:pressed { background: white; }"_s.arg(Palette::dark().name(),
                                                                             Palette::lavender().name()));
    button.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button.setCursor(Qt::PointingHandCursor);
}

} // namespace lumi
