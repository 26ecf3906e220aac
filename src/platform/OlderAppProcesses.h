#pragma once

#include "platform/RunningCopy.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace lumi {

/// Finds the running copies of the older app. Only processes of this user whose own executable
/// is one of the given copies are ever found, so a signal never reaches anything else, whoever
/// runs the app: not a browser the older app opened, which inherits its environment.
class OlderAppProcesses
{
public:
    virtual ~OlderAppProcesses() = default;

    /// Those of the copies (an unpacked folder or an AppImage file) that run now, in the order
    /// given. A process runs from a folder when its executable lies inside it; from an AppImage
    /// when its executable is that file (the AppImage's runtime) or lies inside the mount the
    /// runtime made for it. This process is never among them.
    virtual std::vector<std::unique_ptr<RunningCopy>> running(const QStringList& copies) const = 0;
};

} // namespace lumi
