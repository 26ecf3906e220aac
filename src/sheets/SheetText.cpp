#include "sheets/SheetText.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
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

QPushButton* SheetText::addAnswers(QDialog& sheet, QHBoxLayout& row, const QString& dismiss,
                                   const QString& dismissName, const QString& confirm,
                                   const QString& confirmName)
{
    auto* cancel = new QPushButton(dismiss, &sheet);
    cancel->setObjectName(dismissName);
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, &sheet, &QDialog::reject);
    auto* ok = new QPushButton(confirm, &sheet);
    ok->setObjectName(confirmName);
    ok->setDefault(true);
    row.addWidget(cancel);
    row.addWidget(ok);
    return ok;
}

QPlainTextEdit* SheetText::editor(const QString& name, QWidget* parent)
{
    auto* editor = new QPlainTextEdit(parent);
    editor->setObjectName(name);
    editor->setFont(BundledFonts::font(13, QFont::Normal));
    editor->setFixedHeight(84);
    editor->setStyleSheet(
        u"QPlainTextEdit { border: 1px solid %1; border-radius: 5px; background: white; }"_s.arg(
            Palette::lightGray().name()));
    return editor;
}

QProgressBar* SheetText::busy(const QString& name, int width, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setFixedWidth(width);
    return bar;
}

} // namespace lumi
