#include "browser/EmptyContent.h"

#include "app/Palette.h"
#include "imaging/BundledFonts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumi {

EmptyContent::EmptyContent(const QIcon& symbol, const QString& text, const QString& action, QWidget* parent)
    : QWidget(parent)
{
    auto* icon = new QLabel(this);
    icon->setPixmap(symbol.pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setFont(BundledFonts::font(18, QFont::DemiBold));
    label->setAlignment(Qt::AlignCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Palette::muted());
    label->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(icon);
    layout->addWidget(label);
    if (!action.isEmpty()) {
        auto* button = new QPushButton(action, this);
        connect(button, &QPushButton::clicked, this, &EmptyContent::actionClicked);
        layout->addWidget(button, 0, Qt::AlignHCenter);
    }
    layout->addStretch(1);
}

} // namespace lumi
