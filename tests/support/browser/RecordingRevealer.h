#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

namespace lumi::test {

/// Stands in for the desktop's file manager, which tests cannot watch: keeps the folders and files
/// asked for.
class RecordingRevealer final : public FileRevealer
{
public:
    void revealFolder(const QString& path) override { revealed.append(path); }

    void revealFile(const QString& path) override { revealedFiles.append(path); }

    QStringList revealed;
    QStringList revealedFiles;
};

} // namespace lumi::test
