#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace lumi {

/// Keeps what is typed into a field within a length counted as the user sees characters.
class TextLimit final
{
public:
    TextLimit() = delete;

    /// Cuts the field's text to limit whenever it changes (typed or pasted), without a message.
    static void apply(QLineEdit& field, int limit);
    static void apply(QPlainTextEdit& editor, int limit);
};

} // namespace lumi
