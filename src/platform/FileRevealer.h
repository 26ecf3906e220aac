#pragma once

#include <QString>

namespace lumi {

/// Shows a folder or a file in the desktop's file manager.
class FileRevealer
{
public:
    virtual ~FileRevealer() = default;

    /// Opens a file manager window on the folder, selected where the file manager can. Returns at
    /// once; the file manager is asked on the main thread and a missing one is not an error the
    /// user sees (the folder then opens as a plain location).
    virtual void revealFolder(const QString& path) = 0;
    /// Opens a file manager window on the file's folder with the file selected. Returns at once;
    /// without a file manager service the folder opens as a plain location, never the file itself.
    virtual void revealFile(const QString& path) = 0;
};

} // namespace lumi
