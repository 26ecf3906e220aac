#pragma once

#include "platform/FileRevealer.h"

#include <QObject>

class QUrl;

namespace lumi {

/// Asks the freedesktop file manager service (org.freedesktop.FileManager1) to show the folder or
/// file, without waiting on the bus; when it does not answer within the timeout or fails, the
/// folder opens through the desktop's default handler.
class FileManagerRevealer final : public QObject, public FileRevealer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileManagerRevealer)

public:
    static constexpr int timeoutMs = 2000;

    FileManagerRevealer() = default;

    void revealFolder(const QString& path) override;
    void revealFile(const QString& path) override;

private:
    /// ShowItems on the item; fallback opens when the service does not answer or fails.
    void showItem(const QUrl& item, const QUrl& fallback);
};

} // namespace lumi
