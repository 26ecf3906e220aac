#include "settings/AccountPane.h"

#include "model/Account.h"
#include "settings/ChoicePicker.h"
#include "settings/PaneText.h"
#include "settings/SettingChanges.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace lumi {

namespace {

constexpr int itemSpacing = 18;

} // namespace

AccountPane::AccountPane(ErrorSink& errors, const Account& account, const QString& signedOutText,
                         QWidget* parent)
    : QWidget(parent), m_account(account),
      m_changes(std::make_unique<SettingChanges>(errors, account, *this, [this] { showRecord(); }))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_signedOut = PaneText::line(signedOutText, this);
    m_signedOut->setObjectName(QStringLiteral("pane.signedOut"));
    layout->addWidget(m_signedOut);
    m_controlsBox = new QWidget(this);
    m_controls = new QVBoxLayout(m_controlsBox);
    m_controls->setContentsMargins(0, 0, 0, 0);
    m_controls->setSpacing(itemSpacing);
    layout->addWidget(m_controlsBox);
    layout->addStretch();
}

AccountPane::~AccountPane() = default;

void AccountPane::refresh()
{
    m_changes->show();
}

void AccountPane::showRecord()
{
    const bool signedIn = m_account.isSignedIn();
    m_signedOut->setVisible(!signedIn);
    m_controlsBox->setVisible(signedIn);
    if (!signedIn)
        return;
    const QList<QWidget*> widgets = m_controlsBox->findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* widget : widgets)
        blockers.push_back(std::make_unique<QSignalBlocker>(widget));
    showUser(*m_account.user());
}

QCheckBox* AccountPane::makeToggle(const QString& name, const QString& title,
                                   std::function<QCoro::Task<void>(bool)> setter)
{
    auto* toggle = new QCheckBox(title, m_controlsBox);
    toggle->setObjectName(name);
    connect(toggle, &QCheckBox::clicked, this, [this, setter](bool on) { send(setter(on)); });
    return toggle;
}

ChoicePicker* AccountPane::makePicker(const QString& name, const QList<ChoiceOption>& options,
                                      std::function<QCoro::Task<void>(QString)> setter)
{
    auto* picker = new ChoicePicker(options, m_controlsBox);
    picker->setObjectName(name);
    connect(picker, &ChoicePicker::picked, this,
            [this, setter](const QString& value) { send(setter(value)); });
    return picker;
}

ChoicePicker* AccountPane::addPicker(const QString& name, const QString& label,
                                     const QList<ChoiceOption>& options,
                                     std::function<QCoro::Task<void>(QString)> setter)
{
    auto* row = new QHBoxLayout;
    QLabel* title = PaneText::line(label, m_controlsBox);
    ChoicePicker* picker = makePicker(name, options, std::move(setter));
    title->setBuddy(picker);
    row->addWidget(title);
    row->addWidget(picker);
    row->addStretch();
    m_controls->addLayout(row);
    return picker;
}

void AccountPane::send(QCoro::Task<void> setter)
{
    m_changes->start(std::move(setter));
}

} // namespace lumi
