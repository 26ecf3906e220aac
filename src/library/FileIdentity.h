#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// Which file a name points at: device and inode together, since inode numbers repeat across
/// file systems.
struct FileIdentity final
{
    quint64 device = 0;
    quint64 inode = 0;

    /// The file the path names, following symbolic links; none when it can't be read.
    static std::optional<FileIdentity> of(const QString& path);

    bool operator==(const FileIdentity&) const = default;
};

} // namespace lumi
