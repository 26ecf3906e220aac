#pragma once

#include <QCoroTask>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;

namespace lumi {

class AppModel;
class AuthPhotoPanel;
class LinkOpener;
class PrimaryButton;

/// What the main window shows while nobody is signed in: create an account, sign in, or reset a
/// forgotten password with a code the service mails. It does no networking of its own (the model
/// and its API client do) and reports every failure in its own error line, never as an alert.
/// Texts are used exactly as typed; the model trims what it sends.
class AuthView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AuthView)

public:
    enum class Mode { signIn, signUp, reset };

    /// Opens on creating an account, or on signing in for someone who has been signed in here.
    AuthView(AppModel& model, LinkOpener& links, Mode start = Mode::signUp, QWidget* parent = nullptr);
    ~AuthView() override;

    Mode mode() const { return m_mode; }
    /// Keeps names, e-mail and password; clears the lines and starts the reset over.
    void switchMode(Mode mode);
    bool isBusy() const { return m_busy; }

    /// The error line for a failed action; isSignUp only for the two answers of the sampler question.
    static QString errorMessage(std::exception_ptr error, bool isSignUp);

private:
    using Action = std::function<QCoro::Task<void>()>;

    void build();
    QWidget* buildSignIn();
    QWidget* buildSignUp();
    QWidget* buildReset();
    QLineEdit* addField(QWidget* page, const QString& name, const QString& placeholder, bool secret);
    /// The password rule, shown under a new password before the button could stay grey for it.
    QLabel* addPasswordRule(QWidget* page, const QString& name);
    QPushButton* addLink(QWidget* page, const QString& name, const QString& title, Mode target);
    PrimaryButton* addPrimary(QWidget* page, const QString& name, const QString& title,
                              std::function<void()> press);
    void bindText(QLineEdit* field, QString AuthView::*state);
    /// Writes the state into every widget: texts, what is shown, what is enabled.
    void refresh();
    /// Typing starts in the form's first field.
    void focusFirstField();
    /// After a reset step, typing goes on in the field the next step needs.
    void focusResetStep();
    /// Return in a field presses the current form's primary button when it is enabled.
    void pressPrimary();

    void submit(Action action, bool isSignUp = false);
    QCoro::Task<void> run(Action action, bool isSignUp);
    void askSampler();
    QCoro::Task<void> loadPhoto();

    QCoro::Task<void> signIn(QString email, QString password);
    QCoro::Task<void> createAccount(QString first, QString last, QString email, QString password,
                                    bool sampler);
    QCoro::Task<void> sendCode(QString email);
    QCoro::Task<void> enterCode(QString email, QString code);
    QCoro::Task<void> setPasswordAndSignIn(QString email, QString code, QString password);

    AppModel& m_model;
    LinkOpener& m_links;

    Mode m_mode = Mode::signUp;
    QString m_first;
    QString m_last;
    QString m_email;
    QString m_password;
    /// The reset's own field: a password mistyped at sign-in must never become the new one.
    QString m_newPassword;
    QString m_code;
    bool m_codeSent = false;
    bool m_codeChecked = false;
    bool m_busy = false;
    std::optional<QString> m_error;
    std::optional<QString> m_info;

    AuthPhotoPanel* m_photo = nullptr;
    QWidget* m_signInPage = nullptr;
    QWidget* m_signUpPage = nullptr;
    QWidget* m_resetPage = nullptr;
    QList<std::pair<QLineEdit*, QString AuthView::*>> m_bindings;
    PrimaryButton* m_signInButton = nullptr;
    PrimaryButton* m_createButton = nullptr;
    PrimaryButton* m_sendCodeButton = nullptr;
    PrimaryButton* m_enterCodeButton = nullptr;
    PrimaryButton* m_setPasswordButton = nullptr;
    QLineEdit* m_resetEmail = nullptr;
    QLineEdit* m_codeField = nullptr;
    QLineEdit* m_newPasswordField = nullptr;
    QLabel* m_newPasswordRule = nullptr;
    QLabel* m_errorLine = nullptr;
    QLabel* m_infoLine = nullptr;
    QPointer<QMessageBox> m_samplerQuestion;
};

} // namespace lumi
