#include "browser/EmptyContent.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumi {

EmptyContent::EmptyContent(const QIcon& symbol, const QString& text, const QString& action, QWidget* parent)
    : QWidget(parent), m_description(new QLabel(this))
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

    m_description->setObjectName(QStringLiteral("empty.description"));
    m_description->setTextFormat(Qt::PlainText);
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setPalette(palette);
    m_description->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(icon);
    layout->addWidget(label);
    layout->addWidget(m_description);
    if (!action.isEmpty()) {
        auto* button = new QPushButton(action, this);
        connect(button, &QPushButton::clicked, this, &EmptyContent::actionClicked);
        layout->addWidget(button, 0, Qt::AlignHCenter);
    }
    layout->addStretch(1);
}

void EmptyContent::setDescription(const QString& description)
{
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
}

} // namespace lumi
