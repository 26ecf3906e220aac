#pragma once

#include <QDialog>

namespace lumi {

class OlderAppMigration;

/// The notice that the older desktop app of the service is still installed or running, with the
/// way to find it in the file manager.
class ElectronNoticeSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElectronNoticeSheet)

public:
    explicit ElectronNoticeSheet(OlderAppMigration& olderApp, QWidget* parent = nullptr);
};

} // namespace lumi
