#include "settings/DirectSupportSettings.h"

#include "imaging/BundledFonts.h"
#include "library/DataDirectory.h"
#include "library/PlaylistSync.h"
#include "model/CancelToken.h"
#include "model/Clock.h"
#include "model/DeviceInfo.h"
#include "services/SoftwareUpdates.h"
#include "settings/BusyIndicator.h"
#include "settings/PaneText.h"
#include "state/EventSink.h"
#include "state/WallpaperRotation.h"
#include "wallpaper/WallpaperService.h"
#include "widgets/MessageText.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QHBoxLayout* buttonRow(QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    layout->addLayout(row);
    return row;
}

QMessageBox* question(QWidget* parent, const QString& name, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName(name);
    box->setPalette(Palette::widgets());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Question);
    box->setWindowTitle(u"Lumivale"_s);
    // The text may name a folder, which is the user's own text.
    MessageText::set(*box, title, text);
    return box;
}

} // namespace

DirectSupportSettings::DirectSupportSettings(SettingsServices services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    QHBoxLayout* moveRow = buttonRow(layout);
    m_moveButton = new QPushButton(tr("Change Photo Directory"), this);
    m_moveButton->setObjectName(u"directSupport.move"_s);
    connect(m_moveButton, &QPushButton::clicked, this,
            [this] { ViewTask::start(m_services.errors, moveDirectory(this, m_services)); });
    m_moveBusy = new BusyIndicator(this);
    m_copying = PaneText::note(tr("Copying your photos…"), this);
    m_copying->setWordWrap(false);
    moveRow->addWidget(m_moveButton);
    moveRow->addWidget(m_moveBusy);
    moveRow->addWidget(m_copying);
    moveRow->addStretch();

    m_path = PaneText::note(QString(), this);
    m_path->setObjectName(u"directSupport.path"_s);
    m_path->setFont(BundledFonts::font(12, QFont::Normal));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_path);
    m_error = PaneText::line(QString(), this);
    m_error->setObjectName(u"directSupport.error"_s);
    m_error->setWordWrap(true);
    QPalette red = m_error->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_error->setPalette(red);
    layout->addWidget(m_error);

    layout->addSpacing(4);
    QHBoxLayout* clearRow = buttonRow(layout);
    m_clearButton = new QPushButton(tr("Clear Wallpaper"), this);
    m_clearButton->setObjectName(u"directSupport.clear"_s);
    connect(m_clearButton, &QPushButton::clicked, this, &DirectSupportSettings::confirmClearing);
    m_clearBusy = new BusyIndicator(this);
    clearRow->addWidget(m_clearButton);
    clearRow->addWidget(m_clearBusy);
    clearRow->addStretch();
    m_clearLine = PaneText::note(QString(), this);
    m_clearLine->setObjectName(u"directSupport.clearStatus"_s);
    layout->addWidget(m_clearLine);

    layout->addSpacing(4);
    QHBoxLayout* updateRow = buttonRow(layout);
    auto* update = new QPushButton(tr("Check for Updates…"), this);
    update->setObjectName(u"directSupport.checkForUpdates"_s);
    connect(update, &QPushButton::clicked, this,
            [this] { ViewTask::start(m_services.errors, checkForUpdates(this, m_services)); });
    updateRow->addWidget(update);
    updateRow->addStretch();
    m_updateLine = PaneText::note(QString(), this);
    m_updateLine->setObjectName(u"directSupport.updateStatus"_s);
    layout->addWidget(m_updateLine);
    layout->addWidget(PaneText::note(u"Lumivale "_s + DeviceInfo::appVersion(), this));
    refresh();
}

DirectSupportSettings::~DirectSupportSettings() = default;

QCoro::Task<void> DirectSupportSettings::checkForUpdates(QPointer<DirectSupportSettings> pane,
                                                         SettingsServices services)
{
    pane->m_updateLine->setText(tr("Checking for updates…"));
    const UpdateCheck check = co_await services.updates.checkForUpdates();
    if (!pane)
        co_return;
    switch (check.outcome) {
    case UpdateCheck::Outcome::newer:
        pane->m_updateLine->setText(
            tr("Lumivale %1 is available: %2").arg(check.version, check.downloadPage.toString()));
        break;
    case UpdateCheck::Outcome::upToDate:
        pane->m_updateLine->setText(tr("Lumivale is up to date."));
        break;
    case UpdateCheck::Outcome::failed:
        pane->m_updateLine->setText(check.error);
        break;
    }
}

void DirectSupportSettings::refresh()
{
    m_moveButton->setEnabled(!m_moving);
    m_moveBusy->setVisible(m_moving);
    m_copying->setVisible(m_moving);
    m_path->setText(m_services.dataDirectory.current());
    m_error->setText(m_moveError.value_or(QString()));
    m_error->setVisible(m_moveError.has_value());
    m_clearButton->setEnabled(!m_clearing);
    m_clearBusy->setVisible(m_clearing);
    m_clearLine->setText(m_clearMessage.value_or(tr("Clear the wallpaper cache.")));
}

QCoro::Task<void> DirectSupportSettings::moveDirectory(QPointer<DirectSupportSettings> pane,
                                                       SettingsServices services)
{
    DataDirectory& directory = services.dataDirectory;
    const std::optional<QString> chosen = co_await directory.choose();
    if (!chosen || !pane)
        co_return;
    const QString old = directory.current();
    pane->m_moveError.reset();
    pane->m_moving = true;
    pane->refresh();
    try {
        co_await directory.change(*chosen, &services.sync);
    } catch (const DataDirectory::ChangeError& error) {
        if (pane) {
            pane->m_moveError = error.message();
            pane->m_moving = false;
            pane->refresh();
        }
        co_return;
    }
    services.events.track(u"settings-changed"_s, {{u"setting"_s, u"data-dir"_s}});
    // "data-dir" is stored: from here on every way ends in a relaunch, so the app never runs
    // half on the old directory and half on the new one.
    if (DataDirectory::hasPhotoFolders(old) && pane) {
        pane->m_moving = false;
        pane->refresh();
        pane->askAboutOldFolders(old);
        co_return;
    }
    directory.relaunch();
}

void DirectSupportSettings::askAboutOldFolders(const QString& oldFolder)
{
    QMessageBox* box = question(
        this, u"directSupport.oldFolders"_s, tr("Move the old photo folders to the Trash?"),
        tr("Your photos are copied to the new directory. The copies in %1 are no longer used. Lumivale "
           "will restart now.")
            .arg(oldFolder));
    QPushButton* trash = box->addButton(tr("Move to Trash"), QMessageBox::DestructiveRole);
    QPushButton* keep = box->addButton(tr("Keep Them"), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    DataDirectory& directory = m_services.dataDirectory;
    // The folder is the one the dialog names, taken when it opened. Closed any other way, even
    // torn down with the window, the dialog counts as "Keep Them".
    auto answered = std::make_shared<bool>(false);
    connect(box, &QMessageBox::finished, box, [box, trash, oldFolder, &directory, answered] {
        *answered = true;
        if (box->clickedButton() == trash)
            directory.trashOldFolders(oldFolder);
        directory.relaunch();
    });
    QObject::connect(box, &QObject::destroyed, [&directory, answered] {
        if (!*answered)
            directory.relaunch();
    });
    box->open();
}

void DirectSupportSettings::confirmClearing()
{
    QMessageBox* box = question(this, u"directSupport.confirmClear"_s, tr("Clear the wallpaper cache?"),
                                tr("This fixes photos that no longer exist still showing on the desktop. "
                                   "Lumivale removes the wallpaper "
                                   "pictures it composed and sets the ones on screen again."));
    QPushButton* clear = box->addButton(tr("Clear Wallpaper"), QMessageBox::AcceptRole);
    clear->setObjectName(u"directSupport.confirmClear.clear"_s);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(clear, &QPushButton::clicked, this,
            [this] { ViewTask::start(m_services.errors, clearCache(this, m_services)); });
    box->open();
}

QCoro::Task<void> DirectSupportSettings::clearCache(QPointer<DirectSupportSettings> pane,
                                                    SettingsServices services)
{
    pane->m_clearing = true;
    pane->m_clearMessage = tr("Clearing the wallpaper cache...");
    pane->refresh();
    const std::optional<QString> failure = co_await services.wallpapers.clearWallpaperCacheAndReport();
    if (pane) {
        pane->m_clearing = false;
        pane->m_clearMessage = failure.value_or(tr("Wallpaper cache cleared successfully."));
        pane->refresh();
    }
    // The redraw comes whether or not the pane is still there.
    co_await services.clock.sleepAcrossSuspend(redrawDelay, CancelToken());
    services.rotation.redrawNow();
}

} // namespace lumi
