#pragma once

#include "platform/Pickers.h"

#include <QList>

namespace lumi::test {

/// Stands in for the file dialogs, which can't be driven headless: answers what the test put in
/// and keeps the requests for the test to check.
class FakePickers final : public Pickers
{
public:
    std::optional<QString> folderAnswer;
    QStringList filesAnswer;
    QList<FolderRequest> folderRequests;
    QList<FilesRequest> filesRequests;

    QCoro::Task<std::optional<QString>> chooseFolder(FolderRequest request) override;
    QCoro::Task<QStringList> chooseFiles(FilesRequest request) override;
};

} // namespace lumi::test
