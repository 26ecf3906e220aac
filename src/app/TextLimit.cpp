#include "app/TextLimit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBoundaryFinder>

namespace lumi {

int TextLimit::length(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

QString TextLimit::cut(const QString& text, int limit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (int count = 0; count < limit; ++count) {
        if (finder.toNextBoundary() < 0)
            return text;
    }
    return text.left(finder.position());
}

void TextLimit::apply(QLineEdit& field, int limit)
{
    QObject::connect(&field, &QLineEdit::textChanged, &field, [&field, limit](const QString& text) {
        const QString kept = cut(text, limit);
        if (kept.size() != text.size())
            field.setText(kept);
    });
}

void TextLimit::apply(QPlainTextEdit& editor, int limit)
{
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &editor, [&editor, limit] {
        const QString text = editor.toPlainText();
        const QString kept = cut(text, limit);
        if (kept.size() == text.size())
            return;
        editor.setPlainText(kept);
        editor.moveCursor(QTextCursor::End);
    });
}

} // namespace lumi
