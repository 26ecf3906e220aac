#include "widgets/SheetLayout.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

QHBoxLayout* SheetLayout::build(QDialog& sheet, QStyle::StandardPixmap symbol, const QString& heading,
                                const QString& text, QLabel** textLabel)
{
    sheet.setFixedWidth(420);
    sheet.setWindowModality(Qt::WindowModal);
    sheet.setWindowTitle(u"Lumivale"_s);

    auto* icon = new QLabel(&sheet);
    icon->setPixmap(sheet.style()->standardIcon(symbol).pixmap(34, 34));
    icon->setAlignment(Qt::AlignCenter);

    auto* title = new QLabel(heading, &sheet);
    title->setTextFormat(Qt::PlainText);
    title->setFont(BundledFonts::font(20, QFont::Normal));
    title->setStyleSheet(u"color: %1;"_s.arg(Palette::dark().name()));
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);

    auto* body = new QLabel(text, &sheet);
    body->setObjectName(u"sheet.text"_s);
    body->setTextFormat(Qt::PlainText);
    body->setWordWrap(true);
    body->setAlignment(Qt::AlignCenter);
    body->setStyleSheet(u"color: %1;"_s.arg(Palette::muted().name()));
    if (textLabel)
        *textLabel = body;

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(&sheet);
    layout->setContentsMargins(28, 28, 28, 28);
    layout->setSpacing(14);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(body);
    layout->addLayout(buttons);
    return buttons;
}

} // namespace lumi
