#include "settings/PaneText.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QLabel>

namespace lumi {

QLabel* PaneText::line(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* PaneText::note(const QString& text, QWidget* parent)
{
    QLabel* label = line(text, parent);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Palette::muted());
    label->setPalette(palette);
    return label;
}

QLabel* PaneText::smallNote(const QString& text, QWidget* parent)
{
    QLabel* label = note(text, parent);
    label->setFont(BundledFonts::font(12, QFont::Normal));
    return label;
}

QLabel* PaneText::heading(const QString& text, QWidget* parent)
{
    QLabel* label = line(text, parent);
    label->setFont(BundledFonts::font(16, QFont::Normal));
    return label;
}

} // namespace lumi
