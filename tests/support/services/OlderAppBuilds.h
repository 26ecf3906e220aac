#pragma once

#include <QString>

namespace lumi::test {

/// Copies of the older app laid out as it ships, with real programs inside (bash, sleep), so that
/// processes can run from them.
class OlderAppBuilds final
{
public:
    OlderAppBuilds() = delete;

    /// An unpacked copy in folder whose "lumivale" is bash; returns that program, or an empty text
    /// when it could not be laid out.
    static QString makeFolder(const QString& folder);
    /// An AppImage at path: sleep with the AppImage format's mark, runnable; false when it could
    /// not be written.
    [[nodiscard]] static bool makeAppImage(const QString& path);
};

} // namespace lumi::test
