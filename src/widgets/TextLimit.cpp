#include "widgets/TextLimit.h"

#include "model/Graphemes.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace lumi {

void TextLimit::apply(QLineEdit& field, int limit)
{
    QObject::connect(&field, &QLineEdit::textChanged, &field, [&field, limit](const QString& text) {
        const QString kept = Graphemes::first(text, limit);
        if (kept.size() != text.size())
            field.setText(kept);
    });
}

void TextLimit::apply(QPlainTextEdit& editor, int limit)
{
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &editor, [&editor, limit] {
        const QString text = editor.toPlainText();
        const QString kept = Graphemes::first(text, limit);
        if (kept.size() == text.size())
            return;
        editor.setPlainText(kept);
        editor.moveCursor(QTextCursor::End);
    });
}

} // namespace lumi
