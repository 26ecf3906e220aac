#include "settings/SupportSettings.h"

#include "model/Account.h"
#include "platform/LinkOpener.h"
#include "services/SupportTests.h"
#include "settings/DirectSupportSettings.h"
#include "settings/PaneText.h"
#include "settings/PhotoFilesSettings.h"
#include "widgets/Palette.h"
#include "widgets/PrimaryButton.h"
#include "widgets/ServiceSite.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int progressSteps = 1000;
constexpr int progressWidth = 160;
constexpr int blockGap = 10;

} // namespace

SupportSettings::SupportSettings(SettingsServices services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(12);

    const auto addLink = [this](const QString& name, const QString& title, const QUrl& url) {
        auto* link = new QPushButton(title, this);
        link->setObjectName(name);
        link->setFlat(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setToolTip(url.toString());
        connect(link, &QPushButton::clicked, this, [this, url] { m_services.links.open(url); });
        auto* row = new QHBoxLayout;
        row->addWidget(link);
        row->addStretch();
        m_layout->addLayout(row);
    };
    addLink(u"support.page"_s, tr("Lumivale Support"), ServiceSite::supportPage());
    addLink(u"support.email"_s, tr("Email") + u' ' + ServiceSite::supportEmail(),
            QUrl(u"mailto:"_s + ServiceSite::supportEmail()));
    addLink(u"support.privacy"_s, tr("Privacy Policy"), ServiceSite::privacyPage());
    addLink(u"support.terms"_s, tr("Terms of Use"), ServiceSite::termsPage());
    m_layout->addStretch();

    connect(&services.account, &Account::signedInChanged, this, &SupportSettings::followSignIn);
    if (m_services.tests)
        connect(m_services.tests, &SupportTests::changed, this, &SupportSettings::showSelfTest);
    followSignIn();
}

SupportSettings::~SupportSettings() = default;

void SupportSettings::followSignIn()
{
    delete m_signedIn;
    m_signedIn = nullptr;
    if (!m_services.account.isSignedIn())
        return;
    m_signedIn = new QWidget(this);
    m_signedIn->setObjectName(u"support.signedIn"_s);
    auto* column = new QVBoxLayout(m_signedIn);
    column->setContentsMargins(0, 0, 0, blockGap);
    column->setSpacing(12 + blockGap);
    if (m_services.tests)
        column->addWidget(buildSelfTest(*m_services.tests, m_signedIn));
    column->addWidget(
        new PhotoFilesSettings(m_services.errors, m_services.playlists, m_services.sync, m_signedIn));
    column->addWidget(new DirectSupportSettings(m_services, m_signedIn));
    m_layout->insertWidget(0, m_signedIn);
    showSelfTest();
}

QWidget* SupportSettings::buildSelfTest(SupportTests& tests, QWidget* parent)
{
    auto* block = new QWidget(parent);
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(PaneText::heading(tr("Run Tests"), block));
    layout->addWidget(
        PaneText::note(tr("Checks the connection, the photo servers and setting a wallpaper, then "
                          "sends the results and the app's log to Lumivale Support."),
                       block));
    auto* row = new QHBoxLayout;
    m_run = new PrimaryButton(tr("Run"), block);
    m_run->setObjectName(u"support.run"_s);
    connect(m_run, &QPushButton::clicked, this,
            [this, &tests] { ViewTask::start(m_services.errors, tests.runTests()); });
    m_progress = new QProgressBar(block);
    m_progress->setObjectName(u"support.progress"_s);
    m_progress->setRange(0, progressSteps);
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(progressWidth);
    m_step = PaneText::note(QString(), block);
    m_step->setObjectName(u"support.step"_s);
    m_step->setWordWrap(false);
    row->addWidget(m_run);
    row->addWidget(m_progress);
    row->addWidget(m_step);
    row->addStretch();
    layout->addLayout(row);
    m_result = PaneText::line(QString(), block);
    m_result->setObjectName(u"support.result"_s);
    m_result->setWordWrap(true);
    layout->addWidget(m_result);
    m_hints = new QWidget(block);
    auto* hints = new QVBoxLayout(m_hints);
    hints->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_hints);
    return block;
}

void SupportSettings::showSelfTest()
{
    if (!m_services.tests || !m_signedIn)
        return;
    const SupportTests& tests = *m_services.tests;
    // A disabled button hands its focus to the next one, "Clear files", where Return or Space
    // would empty the folders: the focus stays with the self-test instead.
    if (tests.running() && m_run->hasFocus())
        m_run->parentWidget()->setFocus(Qt::OtherFocusReason);
    m_run->setEnabled(!tests.running());
    m_progress->setVisible(tests.running());
    m_progress->setValue(qRound(tests.progress() * progressSteps));
    m_step->setVisible(tests.running());
    m_step->setText(tests.step());
    m_result->setVisible(tests.result().has_value());
    m_result->setText(tests.result().value_or(QString()));
    qDeleteAll(m_hints->findChildren<QLabel*>(Qt::FindDirectChildrenOnly));
    if (!tests.result())
        return;
    const QStringList hints = tests.hints();
    for (const QString& hint : hints) {
        QLabel* line = PaneText::note(u"💡 "_s + hint, m_hints);
        line->setObjectName(u"support.hint"_s);
        m_hints->layout()->addWidget(line);
    }
}

} // namespace lumi
