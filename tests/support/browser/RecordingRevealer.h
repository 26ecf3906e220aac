#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

namespace lumi::test {

/// Stands in for the desktop's file manager, which tests cannot watch: keeps the folders asked for.
class RecordingRevealer final : public FileRevealer
{
public:
    void revealFolder(const QString& path) override { revealed.append(path); }

    QStringList revealed;
};

} // namespace lumi::test
