#pragma once

#include <QString>

namespace lumi {

/// Text measured and cut in characters as the user sees them: an accented letter or an emoji
/// counts once and is never split.
class Graphemes final
{
public:
    Graphemes() = delete;

    static int count(const QString& text);
    /// The first `limit` characters; the text itself when it is shorter.
    static QString first(const QString& text, int limit);
    /// The last `limit` characters; the text itself when it is shorter.
    static QString last(const QString& text, int limit);
};

} // namespace lumi
