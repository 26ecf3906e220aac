#pragma once

#include <QString>

namespace lumi {

/// The hidden name a file is written under next to its destination before one rename puts it in
/// place: no photo listing picks it up, and the clean-up at start knows it for a write cut short.
class TemporaryName final
{
public:
    TemporaryName() = delete;

    /// A fresh hidden name in destination's folder.
    static QString nextTo(const QString& destination);
    /// Whether a name in a folder is one of these.
    static bool isTemporary(const QString& fileName);
};

} // namespace lumi
