#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// The user's trash: old photo folders and removed photos go there rather than being deleted.
class Trash
{
public:
    virtual ~Trash() = default;

    /// Moves the file or folder at path into the trash. None on success, else why it failed.
    virtual std::optional<QString> moveToTrash(const QString& path) = 0;
};

} // namespace lumi
