#pragma once

#include "settings/SettingsServices.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace lumi {

/// The Support section: signed in, the self-test, the photo files and the direct-support blocks;
/// for everyone, links to the support page, the support address, the privacy policy and the terms.
class SupportSettings final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SupportSettings)

public:
    explicit SupportSettings(SettingsServices services, QWidget* parent = nullptr);
    ~SupportSettings() override;

private:
    /// The blocks for a signed-in user, built afresh at each sign-in.
    void followSignIn();
    QWidget* buildSelfTest(SupportTests& tests, QWidget* parent);
    void showSelfTest();

    SettingsServices m_services;
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_signedIn = nullptr;
    QPushButton* m_run = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_step = nullptr;
    QLabel* m_result = nullptr;
    QWidget* m_hints = nullptr;
};

} // namespace lumi
