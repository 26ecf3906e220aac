#pragma once

#include "platform/Pickers.h"

#include <QList>

#include <functional>

namespace lumi::test {

/// Stands in for the file dialogs: answers what the test put in, keeps the requests, and runs
/// whileOpen before answering, as whatever else happens while a real dialog is up.
class RecordingPickers final : public Pickers
{
public:
    std::optional<QString> folderAnswer;
    QStringList filesAnswer;
    QList<FolderRequest> folderRequests;
    QList<FilesRequest> filesRequests;
    std::function<void()> whileOpen;

    QCoro::Task<std::optional<QString>> chooseFolder(FolderRequest request) override
    {
        folderRequests.append(request);
        if (whileOpen)
            whileOpen();
        // A copy: QCoro moves from a returned lvalue, which would empty the scripted answer.
        co_return std::optional<QString>(folderAnswer);
    }
    QCoro::Task<QStringList> chooseFiles(FilesRequest request) override
    {
        filesRequests.append(request);
        if (whileOpen)
            whileOpen();
        co_return QStringList(filesAnswer);
    }
};

} // namespace lumi::test
