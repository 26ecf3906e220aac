#include "app/MainWindow.h"

#include "app/AuthView.h"
#include "app/MainWindowSheets.h"
#include "browser/BrowserView.h"
#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"
#include "widgets/SettingsRequest.h"

#include <QProgressBar>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QWidget* progressView()
{
    auto* view = new QWidget;
    auto* progress = new QProgressBar(view);
    progress->setObjectName(u"launching.progress"_s);
    progress->setRange(0, 0);
    progress->setTextVisible(false);
    progress->setFixedWidth(160);
    auto* layout = new QVBoxLayout(view);
    layout->addWidget(progress, 0, Qt::AlignCenter);
    return view;
}

} // namespace

MainWindow::MainWindow(AppModel& model, WindowPresenter& presenter, OlderAppMigration& olderApp,
                       LinkOpener& links, BrowserServices browser, SettingsServices settings)
    : m_model(model), m_presenter(presenter), m_links(links), m_browser(browser)
{
    setObjectName(u"MainWindow"_s);
    setWindowTitle(u"Lumivale"_s);
    setPalette(Palette::widgets());
    setAutoFillBackground(true);
    setFont(BundledFonts::font(14, QFont::Normal));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sheets = new MainWindowSheets(*this, model, browser.guidance, olderApp, settings);

    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this), &QShortcut::activated, this,
            [this] { SettingsRequest::raise(m_browser.guidance, m_presenter); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &MainWindow::quitRequested);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this), &QShortcut::activated, this,
            &QWidget::close);

    connect(&m_model, &AppModel::phaseChanged, this, &MainWindow::showPhase);
    showPhase();
}

MainWindow::~MainWindow() = default;

void MainWindow::showPhase()
{
    const AppModel::Phase phase = m_model.phase();
    if (m_content && m_contentPhase == phase)
        return;
    if (m_content) {
        // Later: an action of the old view may still be on the stack.
        m_content->hide();
        m_content->deleteLater();
    }
    // The browser names the window after its source; nothing else does.
    setWindowTitle(u"Lumivale"_s);
    QWidget* content = nullptr;
    switch (phase) {
    case AppModel::Phase::launching:
        content = progressView();
        break;
    case AppModel::Phase::signedOut:
        // After a sign-out the account exists: signing in again is what is wanted.
        content = new AuthView(m_model, m_links,
                               m_contentPhase == AppModel::Phase::ready ? AuthView::Mode::signIn
                                                                        : AuthView::Mode::signUp);
        break;
    case AppModel::Phase::ready:
        content = new BrowserView(m_model, m_presenter, m_browser);
        break;
    }
    m_content = content;
    m_contentPhase = phase;
    layout()->addWidget(content);
}

} // namespace lumi
