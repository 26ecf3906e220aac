#pragma once

#include <QDialog>

namespace lumi {

class SettingsSync;

/// The offer to start the app at login, made once after the first sign-in on this computer. Its
/// answer goes to the settings part, which records it and closes the prompt by clearing the
/// model's flag.
class LoginItemPrompt final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginItemPrompt)

public:
    explicit LoginItemPrompt(SettingsSync& settings, QWidget* parent = nullptr);
};

} // namespace lumi
