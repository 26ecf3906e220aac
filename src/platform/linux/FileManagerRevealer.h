#pragma once

#include "platform/FileRevealer.h"

#include <QObject>

namespace lumi {

/// Asks the freedesktop file manager service (org.freedesktop.FileManager1) to show the folder,
/// without waiting on the bus; when it does not answer within the timeout or fails, the folder
/// opens through the desktop's default handler.
class FileManagerRevealer final : public QObject, public FileRevealer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileManagerRevealer)

public:
    static constexpr int timeoutMs = 2000;

    FileManagerRevealer() = default;

    void revealFolder(const QString& path) override;
};

} // namespace lumi
