#pragma once

#include "platform/Pickers.h"

namespace lumi {

/// QFileDialog, opened application-modal and awaited through its finished signal.
class FileDialogPickers final : public Pickers
{
public:
    QCoro::Task<std::optional<QString>> chooseFolder(FolderRequest request) override;
    QCoro::Task<QStringList> chooseFiles(FilesRequest request) override;
};

} // namespace lumi
