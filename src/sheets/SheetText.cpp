#include "sheets/SheetText.h"

#include "app/Palette.h"
#include "imaging/BundledFonts.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

QLabel* SheetText::label(const QString& text, qreal pixelSize, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(BundledFonts::font(pixelSize, QFont::Normal));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel* SheetText::wrapped(const QString& text, qreal pixelSize, const QColor& color, QWidget* parent)
{
    QLabel* result = label(text, pixelSize, color, parent);
    result->setWordWrap(true);
    return result;
}

QVBoxLayout* SheetText::frame(QDialog& sheet, const QString& title, int spacing)
{
    sheet.setPalette(Palette::widgets());
    sheet.setFont(BundledFonts::font(14, QFont::Normal));
    sheet.setWindowTitle(title);
    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(spacing);
    QLabel* heading = label(title, 20, Palette::dark(), &sheet);
    heading->setObjectName(u"sheet.title"_s);
    column->addWidget(heading);
    return column;
}

} // namespace lumi
