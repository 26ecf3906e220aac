#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace lumi {

/// Opens a file only when it is a regular file at the path itself, not reached through a symbolic
/// link, and without waiting: a FIFO or a device in its place is refused before it is opened, so
/// it can neither block the caller nor be read.
class RegularFile final
{
public:
    RegularFile() = delete;

    /// The file opened read-only; none, with the reason in error, otherwise.
    static std::unique_ptr<QFile> open(const QString& path, QString* error);
};

} // namespace lumi
