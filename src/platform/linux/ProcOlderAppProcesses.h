#pragma once

#include "platform/OlderAppProcesses.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumi {

/// Finds the older app's processes in /proc, each held by a pidfd from the moment it is looked at.
class ProcOlderAppProcesses final : public OlderAppProcesses
{
public:
    /// What /proc tells about a process that decides which copy, if any, it runs from.
    struct ProcessImage
    {
        QString executable;
        /// APPIMAGE and APPDIR of its environment, which an AppImage's runtime sets for the app it
        /// starts, and which everything that app starts inherits.
        QString appImage;
        QString appDir;
        /// Its /proc/<pid>/mountinfo: the mounts it sees.
        QByteArray mountInfo;
    };

    std::vector<std::unique_ptr<RunningCopy>> running(const QStringList& copies) const override;

    /// The copy the process runs from: its executable is a copy or lies inside one, or, started
    /// by an AppImage copy, it lies inside the FUSE mount that APPDIR names. The environment
    /// alone counts for nothing.
    static std::optional<QString> copyOf(const ProcessImage& image, const QStringList& copies);
    /// Whether path is the mount point of a FUSE file system in the mountinfo text.
    static bool isFuseMountPoint(const QByteArray& mountInfo, const QString& path);
};

} // namespace lumi
