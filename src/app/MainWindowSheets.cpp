#include "app/MainWindowSheets.h"

#include "app/ElectronNoticeSheet.h"
#include "app/LoginItemPrompt.h"
#include "app/PlaceholderSheet.h"
#include "settings/CalendarSetupSheet.h"
#include "settings/SettingsView.h"
#include "sheets/SurveySheet.h"
#include "state/AppModel.h"
#include "state/Guidance.h"
#include "widgets/Palette.h"

#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr std::array sheetOrder{MainWindowSheets::Sheet::settings,   MainWindowSheets::Sheet::loginItem,
                                MainWindowSheets::Sheet::survey,     MainWindowSheets::Sheet::electronNotice,
                                MainWindowSheets::Sheet::onboarding, MainWindowSheets::Sheet::alert};

} // namespace

MainWindowSheets::MainWindowSheets(QWidget& window, AppModel& model, Guidance& guidance,
                                   OlderAppMigration& olderApp, SettingsServices settings)
    : QObject(&window), m_window(window), m_model(model), m_guidance(guidance), m_olderApp(olderApp),
      m_settings(settings)
{
    for (auto signal : {&Guidance::settingsRequestedChanged, &Guidance::surveyRequestedChanged,
                        &Guidance::onboardingRequestedChanged})
        connect(&m_guidance, signal, this, &MainWindowSheets::present);
    for (auto signal :
         {&AppModel::askLoginItemChanged, &AppModel::electronNoticeRequestedChanged, &AppModel::alertChanged})
        connect(&m_model, signal, this, &MainWindowSheets::present);
    m_window.installEventFilter(this);
}

MainWindowSheets::~MainWindowSheets()
{
    if (m_dialog) {
        m_dialog->disconnect(this);
        delete m_dialog;
    }
}

std::optional<MainWindowSheets::Sheet> MainWindowSheets::shown() const
{
    if (!m_dialog)
        return std::nullopt;
    return m_sheet;
}

bool MainWindowSheets::isWanted(Sheet sheet) const
{
    switch (sheet) {
    case Sheet::settings:
        return m_guidance.settingsRequested();
    case Sheet::loginItem:
        return m_model.askLoginItem();
    case Sheet::survey:
        return m_guidance.surveyRequested();
    case Sheet::electronNotice:
        return m_model.electronNoticeRequested();
    case Sheet::onboarding:
        return m_guidance.onboardingRequested();
    case Sheet::alert:
        return m_model.alert().has_value();
    }
    return false;
}

void MainWindowSheets::present()
{
    if (m_dialog) {
        if (!isWanted(m_sheet)) {
            // The model took the request back: close without answering it a second time.
            QDialog* closing = m_dialog;
            m_dialog = nullptr;
            closing->disconnect(this);
            closing->close();
        } else {
            if (m_sheet == Sheet::alert) {
                // A newer error replaces the text of the one on screen.
                if (auto* box = qobject_cast<QMessageBox*>(m_dialog.data()))
                    box->setText(m_model.alert().value_or(QString()));
            }
            return;
        }
    }
    // Like sheets, they wait for their window to be on screen.
    if (!m_window.isVisible())
        return;
    for (const Sheet sheet : sheetOrder) {
        if (!isWanted(sheet))
            continue;
        m_sheet = sheet;
        m_dialog = make(sheet);
        // A sheet with a look of its own (the settings on white) keeps it.
        if (!m_dialog->testAttribute(Qt::WA_SetPalette))
            m_dialog->setPalette(Palette::widgets());
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &QDialog::finished, this, [this, sheet] {
            m_dialog = nullptr;
            dismissed(sheet);
            present();
        });
        m_dialog->open();
        return;
    }
}

QDialog* MainWindowSheets::make(Sheet sheet)
{
    switch (sheet) {
    case Sheet::settings:
        return new SettingsView(m_model, m_settings, m_guidance.settingsSection(), &m_window);
    case Sheet::loginItem:
        return new LoginItemPrompt(m_settings.settingsSync, &m_window);
    case Sheet::survey:
        return new SurveySheet(m_guidance, m_model.account(), &m_window);
    case Sheet::electronNotice:
        return new ElectronNoticeSheet(m_olderApp, &m_window);
    case Sheet::onboarding:
        return new CalendarSetupSheet(m_settings.errors, m_settings.account, m_guidance, m_settings.engine,
                                      m_settings.photos, &m_window);
    case Sheet::alert:
        break;
    }
    auto* box = new QMessageBox(&m_window);
    box->setWindowTitle(u"Lumivale"_s);
    // Server messages end up here: they are text, never markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(m_model.alert().value_or(QString()));
    QPushButton* ok = box->addButton(tr("OK"), QMessageBox::RejectRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    return box;
}

void MainWindowSheets::dismissed(Sheet sheet)
{
    switch (sheet) {
    case Sheet::settings:
        m_guidance.setSettingsRequested(false);
        break;
    case Sheet::loginItem:
        m_model.setAskLoginItem(false);
        break;
    case Sheet::survey:
        m_guidance.setSurveyRequested(false);
        break;
    case Sheet::electronNotice:
        m_model.setElectronNoticeRequested(false);
        break;
    case Sheet::onboarding:
        // Closed without an answer: the onboarding counts as skipped, once.
        if (m_guidance.onboardingRequested())
            m_guidance.finishOnboarding(false, std::nullopt);
        break;
    case Sheet::alert:
        m_model.setAlert(std::nullopt);
        break;
    }
}

bool MainWindowSheets::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Show)
        QTimer::singleShot(0, this, &MainWindowSheets::present);
    return QObject::eventFilter(watched, event);
}

} // namespace lumi
