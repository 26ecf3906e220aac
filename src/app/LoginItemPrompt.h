#pragma once

#include <QDialog>

namespace lumi {

class AppModel;

/// The offer to start the app at login, made once after the first sign-in on this computer. Its
/// answer goes to the model, which records it and closes the prompt by clearing its flag.
class LoginItemPrompt final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginItemPrompt)

public:
    explicit LoginItemPrompt(AppModel& model, QWidget* parent = nullptr);
};

} // namespace lumi
