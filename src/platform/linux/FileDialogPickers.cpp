#include "platform/linux/FileDialogPickers.h"

#include <QCoroSignal>
#include <QFileDialog>

#include <memory>

namespace lumi {

namespace {

std::unique_ptr<QFileDialog> makeDialog(const QString& title, const QString& folder,
                                        const QString& acceptLabel)
{
    auto dialog = std::make_unique<QFileDialog>(nullptr, title, folder);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, acceptLabel);
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog;
}

} // namespace

QCoro::Task<std::optional<QString>> FileDialogPickers::chooseFolder(FolderRequest request)
{
    const std::unique_ptr<QFileDialog> dialog =
        makeDialog(request.message, request.startFolder, request.acceptLabel);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setOption(QFileDialog::ReadOnly, !request.canCreateFolders);
    dialog->open();
    const int result = co_await qCoro(dialog.get(), &QDialog::finished);
    const QStringList chosen = dialog->selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty())
        co_return std::nullopt;
    co_return chosen.constFirst();
}

QCoro::Task<QStringList> FileDialogPickers::chooseFiles(FilesRequest request)
{
    const std::unique_ptr<QFileDialog> dialog = makeDialog(QString(), QString(), request.acceptLabel);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setNameFilters(request.nameFilters);
    dialog->open();
    const int result = co_await qCoro(dialog.get(), &QDialog::finished);
    if (result != QDialog::Accepted)
        co_return QStringList();
    co_return dialog->selectedFiles();
}

} // namespace lumi
