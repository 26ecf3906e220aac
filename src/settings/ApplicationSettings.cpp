#include "settings/ApplicationSettings.h"

#include "model/Graphemes.h"
#include "model/User.h"
#include "settings/BusyIndicator.h"
#include "settings/PaneText.h"
#include "settings/SettingChanges.h"
#include "state/AppModel.h"
#include "state/SettingsSync.h"
#include "state/ShortcutRegistry.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <tuple>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int blockSpacing = 22;
constexpr int passwordRowWidth = 420;

QVBoxLayout* column(QWidget* widget, int spacing)
{
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QString describe(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return ApplicationSettings::tr("Something went wrong.");
    }
}

} // namespace

ApplicationSettings::ApplicationSettings(AppModel& model, SettingsSync& settings,
                                         const ShortcutRegistry& shortcuts, QWidget* parent)
    : QWidget(parent), m_model(model), m_settings(settings), m_shortcutRegistry(shortcuts),
      m_changes(std::make_unique<SettingChanges>(model, model.account(), *this, [this] { refresh(); })),
      m_openAtLogin(settings.isLaunchAtLoginEnabled())
{
    QVBoxLayout* layout = column(this, blockSpacing);
    layout->addWidget(buildAccount());

    m_launchAtLogin = new QCheckBox(tr("Open Lumivale at login"), this);
    m_launchAtLogin->setObjectName(u"application.launchAtLogin"_s);
    connect(m_launchAtLogin, &QCheckBox::clicked, this, [this](bool on) {
        // Ends on what the desktop really did, not on the wish.
        m_changes->start(m_settings.setLaunchAtLogin(on), [this] {
            m_openAtLogin = m_settings.isLaunchAtLoginEnabled();
            showLaunchAtLogin();
        });
    });
    layout->addWidget(m_launchAtLogin);

    layout->addWidget(buildSignedIn());
    m_deleteLine = PaneText::note(QString(), this);
    m_deleteLine->setObjectName(u"application.deleteResult"_s);
    layout->addWidget(m_deleteLine);
    layout->addStretch();

    connect(&model, &AppModel::phaseChanged, this, &ApplicationSettings::refresh);
    refresh();
}

ApplicationSettings::~ApplicationSettings() = default;

QWidget* ApplicationSettings::buildAccount()
{
    m_account = new QWidget(this);
    QVBoxLayout* layout = column(m_account, 4);
    m_name = PaneText::heading(QString(), m_account);
    m_name->setObjectName(u"application.name"_s);
    m_email = PaneText::note(QString(), m_account);
    m_email->setObjectName(u"application.email"_s);
    layout->addWidget(m_name);
    layout->addWidget(m_email);
    return m_account;
}

QWidget* ApplicationSettings::buildSignedIn()
{
    m_signedIn = new QWidget(this);
    QVBoxLayout* layout = column(m_signedIn, blockSpacing);
    const auto toggleBlock = [this, layout](const QString& name, const QString& title, const QString& line,
                                            std::function<QCoro::Task<void>(bool)> setter) {
        auto* block = new QWidget(m_signedIn);
        QVBoxLayout* blockLayout = column(block, 6);
        auto* toggle = new QCheckBox(title, block);
        toggle->setObjectName(name);
        connect(toggle, &QCheckBox::clicked, this, [this, setter](bool on) { m_changes->start(setter(on)); });
        blockLayout->addWidget(toggle);
        QLabel* note = PaneText::smallNote(line, block);
        blockLayout->addWidget(note);
        layout->addWidget(block);
        return std::pair(toggle, note);
    };
    m_notifications = toggleBlock(u"application.notifications"_s, tr("Show today's photos at 10:00"),
                                  tr("A notification with the day's new photos; click it to see them all."),
                                  [this](bool on) { return m_settings.setNotifications(on); })
                          .first;
    m_notificationsUnavailable =
        PaneText::smallNote(tr("This desktop shows no notifications (no notification service answers), so "
                               "today's photos can't be announced here."),
                            m_notifications->parentWidget());
    m_notificationsUnavailable->setObjectName(u"application.notificationsUnavailable"_s);
    m_notifications->parentWidget()->layout()->addWidget(m_notificationsUnavailable);
    std::tie(m_shortcuts, m_shortcutsLine) =
        toggleBlock(u"application.shortcuts"_s, tr("Keyboard shortcuts"), shortcutsLine(),
                    [this](bool on) { return m_settings.setShortcutsEnabled(on); });
    m_shortcutsLine->setObjectName(u"application.shortcutsLine"_s);
    layout->addWidget(
        PaneText::note(tr("These settings and Open at Login are saved to your Lumivale account, so "
                          "the Lumivale app on your other computers uses them too."),
                       m_signedIn));
    layout->addWidget(buildPassword(m_signedIn));

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    auto* signOut = new QPushButton(tr("Sign Out"), m_signedIn);
    signOut->setObjectName(u"application.signOut"_s);
    connect(signOut, &QPushButton::clicked, this, [this] { m_model.signOut(); });
    m_deleteButton = new QPushButton(tr("Delete Account…"), m_signedIn);
    m_deleteButton->setObjectName(u"application.delete"_s);
    // A destructive action reads in red.
    QPalette destructive = m_deleteButton->palette();
    destructive.setColor(QPalette::ButtonText, QColor(192, 28, 40));
    m_deleteButton->setPalette(destructive);
    connect(m_deleteButton, &QPushButton::clicked, this, &ApplicationSettings::confirmDeletion);
    row->addWidget(signOut);
    row->addWidget(m_deleteButton);
    row->addStretch();
    layout->addLayout(row);
    return m_signedIn;
}

QWidget* ApplicationSettings::buildPassword(QWidget* parent)
{
    auto* block = new QWidget(parent);
    QVBoxLayout* layout = column(block, 8);
    layout->addWidget(PaneText::heading(tr("Change Password"), block));

    auto* fields = new QWidget(block);
    fields->setMaximumWidth(passwordRowWidth);
    auto* fieldRow = new QHBoxLayout(fields);
    fieldRow->setContentsMargins(0, 0, 0, 0);
    const auto field = [fields, fieldRow](const QString& name, const QString& placeholder) {
        auto* edit = new QLineEdit(fields);
        edit->setObjectName(name);
        edit->setEchoMode(QLineEdit::Password);
        edit->setPlaceholderText(placeholder);
        fieldRow->addWidget(edit);
        return edit;
    };
    m_password = field(u"application.password"_s, tr("New password"));
    m_again = field(u"application.again"_s, tr("Again"));
    connect(m_password, &QLineEdit::textChanged, this, &ApplicationSettings::refresh);
    layout->addWidget(fields);

    auto* buttonRow = new QHBoxLayout;
    m_changeButton = new QPushButton(tr("Change Password"), block);
    m_changeButton->setObjectName(u"application.changePassword"_s);
    connect(m_changeButton, &QPushButton::clicked, this, &ApplicationSettings::changePassword);
    m_changeBusy = new BusyIndicator(block);
    buttonRow->addWidget(m_changeButton);
    buttonRow->addWidget(m_changeBusy);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);

    m_passwordLine = PaneText::note(QString(), block);
    m_passwordLine->setObjectName(u"application.passwordMessage"_s);
    layout->addWidget(m_passwordLine);
    return block;
}

void ApplicationSettings::showEvent(QShowEvent* event)
{
    m_openAtLogin = m_settings.isLaunchAtLoginEnabled();
    refresh();
    checkNotifications();
    QWidget::showEvent(event);
}

QString ApplicationSettings::shortcutsLine() const
{
    using Shortcut = ShortcutRegistry::Shortcut;
    using State = ShortcutRegistry::State;
    const QString next = u"Super+Shift+W"_s;
    const QString saver = u"Super+Shift+S"_s;
    const State nextState = m_shortcutRegistry.state(Shortcut::nextWallpaper);
    const State saverState = m_shortcutRegistry.state(Shortcut::startSaver);
    if (nextState == State::unavailable)
        return tr("This desktop (Wayland) lets no app use global shortcuts: Next Wallpaper and Start Screen "
                  "Saver are in the tray menu.");
    if (nextState == State::taken && saverState == State::taken)
        return tr("%1 and %2 are in use by another app, so Next Wallpaper and Start Screen Saver have no "
                  "shortcut now.")
            .arg(next, saver);
    if (nextState == State::taken)
        return tr("%1 Start Screen Saver, from any app. %2 (Next Wallpaper) is in use by another app.")
            .arg(saver, next);
    if (saverState == State::taken)
        return tr("%1 Next Wallpaper, from any app. %2 (Start Screen Saver) is in use by another app.")
            .arg(next, saver);
    return tr("%1 Next Wallpaper and %2 Start Screen Saver, from any app.").arg(next, saver);
}

QCoro::Task<void> ApplicationSettings::checkNotifications()
{
    const QPointer<ApplicationSettings> self(this);
    const bool shown = co_await m_settings.canShowNotifications();
    if (!self)
        co_return;
    m_notificationsShown = shown;
    refresh();
}

void ApplicationSettings::refresh()
{
    const bool signedIn = m_model.account().isSignedIn();
    const std::optional<User>& user = m_model.account().user();
    m_account->setVisible(signedIn);
    m_signedIn->setVisible(signedIn);
    if (signedIn) {
        m_name->setText(user->displayName());
        m_email->setText(user->email.value_or(QString()));
        const QSignalBlocker notifications(m_notifications);
        const QSignalBlocker shortcuts(m_shortcuts);
        // A checked box would promise what this desktop can't show.
        const bool shown = m_notificationsShown.value_or(true);
        m_notifications->setEnabled(shown);
        m_notifications->setChecked(shown && user->notifications == u"all"_s);
        m_notificationsUnavailable->setVisible(!shown);
        m_shortcuts->setChecked(!user->flagList().contains(u"no-shortcuts"_s));
        m_shortcutsLine->setText(shortcutsLine());
    }
    showLaunchAtLogin();
    m_changeButton->setEnabled(!m_password->text().isEmpty() && !m_changing);
    m_changeBusy->setVisible(m_changing);
    m_passwordLine->setText(m_passwordMessage.value_or(QString()));
    m_passwordLine->setVisible(m_passwordMessage.has_value());
    m_deleteButton->setEnabled(!m_deleting);
    m_deleteLine->setText(m_deleteResult.value_or(QString()));
    m_deleteLine->setVisible(m_deleteResult.has_value());
}

void ApplicationSettings::showLaunchAtLogin()
{
    const QSignalBlocker login(m_launchAtLogin);
    m_launchAtLogin->setChecked(m_openAtLogin);
}

std::optional<QString> ApplicationSettings::passwordProblem(const QString& password, const QString& again)
{
    if (password != again)
        return tr("The two passwords don't match.");
    if (Graphemes::count(password) < minimumPasswordLength)
        return tr("Use at least 6 characters.");
    return std::nullopt;
}

void ApplicationSettings::changePassword()
{
    m_passwordMessage = passwordProblem(m_password->text(), m_again->text());
    if (!m_passwordMessage) {
        m_changing = true;
        ViewTask::start(m_model, sendPassword(m_password->text()));
    }
    refresh();
}

QCoro::Task<void> ApplicationSettings::sendPassword(QString password)
{
    const QPointer<ApplicationSettings> self(this);
    std::optional<QString> failure;
    try {
        co_await m_model.changePassword(std::move(password));
    } catch (...) {
        failure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    if (failure) {
        m_passwordMessage = failure;
    } else {
        m_password->clear();
        m_again->clear();
        m_passwordMessage = tr("Your password has been changed.");
    }
    m_changing = false;
    refresh();
}

void ApplicationSettings::confirmDeletion()
{
    auto* box = new QMessageBox(this);
    box->setObjectName(u"application.confirmDelete"_s);
    box->setPalette(Palette::widgets());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(u"Lumivale"_s);
    box->setText(tr("Delete your Lumivale account?"));
    box->setInformativeText(
        tr("Your account, your playlists and your favorites are deleted for good. This can't "
           "be undone."));
    QPushButton* remove = box->addButton(tr("Delete Account"), QMessageBox::DestructiveRole);
    remove->setObjectName(u"application.confirmDelete.delete"_s);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(remove, &QPushButton::clicked, this, [this] {
        m_deleting = true;
        refresh();
        ViewTask::start(m_model, deleteAccount());
    });
    box->open();
}

QCoro::Task<void> ApplicationSettings::deleteAccount()
{
    const QPointer<ApplicationSettings> self(this);
    QString result;
    try {
        const QString status = co_await m_model.deleteAccount();
        result =
            status == u"requested"_s
                ? tr("We've received your request. You'll get an email when your account has been deleted.")
                : tr("Your account has been deleted.");
    } catch (...) {
        result = describe(std::current_exception());
    }
    if (!self)
        co_return;
    m_deleteResult = result;
    m_deleting = false;
    refresh();
}

} // namespace lumi
