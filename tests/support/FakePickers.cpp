#include "support/FakePickers.h"

namespace lumi::test {

QCoro::Task<std::optional<QString>> FakePickers::chooseFolder(FolderRequest request)
{
    folderRequests.append(request);
    // A copy: QCoro moves from a returned lvalue, which would empty the scripted answer.
    co_return std::optional<QString>(folderAnswer);
}

QCoro::Task<QStringList> FakePickers::chooseFiles(FilesRequest request)
{
    filesRequests.append(request);
    co_return QStringList(filesAnswer);
}

} // namespace lumi::test
