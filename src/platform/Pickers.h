#pragma once

#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

/// The system's open dialogs for folders and files. Asynchronous: the dialog runs window-modal
/// while the caller's coroutine waits, so no nested event loop is needed.
class Pickers
{
public:
    struct FolderRequest
    {
        QString message;     ///< what the user is asked to choose
        QString acceptLabel; ///< the text of the confirming button
        QString startFolder; ///< where the dialog opens; empty for the dialog's own choice
        bool canCreateFolders = false;
    };

    struct FilesRequest
    {
        QString acceptLabel;
        QStringList nameFilters; ///< e.g. "JPEG images (*.jpg *.jpeg)"
    };

    virtual ~Pickers() = default;

    /// One folder; none when the user cancels.
    virtual QCoro::Task<std::optional<QString>> chooseFolder(FolderRequest request) = 0;
    /// Any number of files, in the dialog's order; empty when the user cancels.
    virtual QCoro::Task<QStringList> chooseFiles(FilesRequest request) = 0;
};

} // namespace lumi
