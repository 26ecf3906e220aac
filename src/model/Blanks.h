#pragma once

#include <QString>
#include <QStringView>

namespace lumi {

/// What the user typed, as it is sent: names, addresses and search terms lose the blanks and tabs
/// at their ends, never the line breaks.
class Blanks final
{
public:
    Blanks() = delete;

    /// Removes blanks (any space separator) and tabs at both ends.
    static QString trimmed(QStringView text);
};

} // namespace lumi
