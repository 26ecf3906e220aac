#include "app/ElectronNoticeSheet.h"

#include "services/OlderAppMigration.h"
#include "widgets/SheetLayout.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

ElectronNoticeSheet::ElectronNoticeSheet(OlderAppMigration& olderApp, QWidget* parent) : QDialog(parent)
{
    const QString text = olderApp.isOldAppRunning() ? tr("The old Lumivale app is running next to this one. "
                                                         "Both will change your wallpaper, and the old one "
                                                         "will keep asking you to update. Quit it from its "
                                                         "system tray icon, then move it to the Trash. Your "
                                                         "account and playlists stay here.")
                                                    : tr("The old Lumivale app is still installed. If it "
                                                         "starts, both apps will change your wallpaper, and "
                                                         "the old one will keep asking you to update. Move "
                                                         "it to the Trash. Your account and playlists stay "
                                                         "here.");
    QHBoxLayout* buttons =
        SheetLayout::build(*this, QStyle::SP_TrashIcon, tr("You still have the older Lumivale app"), text);
    auto* later = new QPushButton(tr("Later"), this);
    later->setObjectName(u"electron.later"_s);
    later->setAutoDefault(false);
    auto* reveal = new QPushButton(tr("Show in File Manager"), this);
    reveal->setObjectName(u"electron.reveal"_s);
    reveal->setDefault(true);
    buttons->addWidget(later);
    buttons->addWidget(reveal);
    buttons->addStretch();
    // Either answer closes the sheet, which ends the request.
    connect(later, &QPushButton::clicked, this, &QDialog::accept);
    connect(reveal, &QPushButton::clicked, this, [this, &olderApp] {
        olderApp.revealOldApp();
        accept();
    });
}

} // namespace lumi
