#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace lumi {

/// Lengths as the user sees them: a flag, a family emoji joined by zero-width joiners or a letter
/// with combining marks counts once, and a cut never splits one.
class TextLimit final
{
public:
    TextLimit() = delete;

    static int length(const QString& text);
    /// The first limit characters; the text itself when it is no longer.
    static QString cut(const QString& text, int limit);
    /// Cuts the field's text to limit whenever it changes (typed or pasted), without a message.
    static void apply(QLineEdit& field, int limit);
    static void apply(QPlainTextEdit& editor, int limit);
};

} // namespace lumi
