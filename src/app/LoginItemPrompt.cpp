#include "app/LoginItemPrompt.h"

#include "state/SettingsSync.h"
#include "widgets/SheetLayout.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumi {

LoginItemPrompt::LoginItemPrompt(SettingsSync& settings, QWidget* parent) : QDialog(parent)
{
    QHBoxLayout* buttons =
        SheetLayout::build(*this, QStyle::SP_BrowserReload, tr("Keep your wallpaper changing"),
                           tr("Start Lumivale when you log in, so your desktop keeps rotating after a "
                              "restart. You can change this "
                              "any time in Settings."));
    auto* notNow = new QPushButton(tr("Not Now"), this);
    notNow->setObjectName(u"loginItem.notNow"_s);
    notNow->setAutoDefault(false);
    auto* start = new QPushButton(tr("Start at Login"), this);
    start->setObjectName(u"loginItem.start"_s);
    start->setDefault(true);
    buttons->addWidget(notNow);
    buttons->addWidget(start);
    buttons->addStretch();
    connect(notNow, &QPushButton::clicked, this, [&settings] { settings.answerLoginItem(false); });
    connect(start, &QPushButton::clicked, this, [&settings] { settings.answerLoginItem(true); });
}

} // namespace lumi
