#include "app/AuthView.h"

#include "app/AuthMessage.h"
#include "app/AuthPhotoPanel.h"
#include "imaging/BundledFonts.h"
#include "model/APIClient.h"
#include "model/APIError.h"
#include "model/Graphemes.h"
#include "platform/LinkOpener.h"
#include "state/AppModel.h"
#include "widgets/ImageLoader.h"
#include "widgets/LinkLabel.h"
#include "widgets/Palette.h"
#include "widgets/PrimaryButton.h"
#include "widgets/ServiceSite.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int minimumPasswordLength = 6;
constexpr int columnWidth = 360;
constexpr int columnPadding = 32;
constexpr int spacing = 14;

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(BundledFonts::font(24, QFont::Normal));
    label->setStyleSheet(u"color: %1;"_s.arg(Palette::dark().name()));
    return label;
}

bool isNotFound(const APIError& error)
{
    return error.kind() == APIError::Kind::Http && error.status() == 404;
}

/// How the service turns down a reset code: unknown (404) or not valid for that address (422).
bool isRejectedCode(const APIError& error)
{
    return error.kind() == APIError::Kind::Http && (error.status() == 404 || error.status() == 422);
}

QString wrongCodeMessage()
{
    return AuthView::tr("That code didn't work. Check the email or send a new one.");
}

} // namespace

AuthView::AuthView(AppModel& model, LinkOpener& links, Mode start, QWidget* parent)
    : QWidget(parent), m_model(model), m_links(links), m_mode(start)
{
    build();
    refresh();
    focusFirstField();
    loadPhoto();
}

AuthView::~AuthView() = default;

void AuthView::build()
{
    m_photo = new AuthPhotoPanel(this);

    auto* column = new QWidget(this);
    column->setObjectName(u"form"_s);
    column->setFixedWidth(columnWidth);
    column->setAutoFillBackground(true);
    QPalette white = column->palette();
    white.setColor(QPalette::Window, Qt::white);
    column->setPalette(white);

    m_signInPage = buildSignIn();
    m_signUpPage = buildSignUp();
    m_resetPage = buildReset();
    for (QWidget* page : {m_signInPage, m_signUpPage, m_resetPage})
        page->setParent(column);

    m_errorLine = new QLabel(column);
    m_errorLine->setObjectName(u"error"_s);
    m_infoLine = new QLabel(column);
    m_infoLine->setObjectName(u"info"_s);
    for (QLabel* line : {m_errorLine, m_infoLine}) {
        // Server texts may arrive here: never read them as markup.
        line->setTextFormat(Qt::PlainText);
        line->setWordWrap(true);
    }
    m_errorLine->setStyleSheet(u"color: %1;"_s.arg(Palette::errorText().name()));
    m_infoLine->setStyleSheet(u"color: %1;"_s.arg(Palette::muted().name()));

    auto* form = new QVBoxLayout(column);
    form->setContentsMargins(columnPadding, columnPadding, columnPadding, columnPadding);
    form->setSpacing(spacing);
    form->addStretch();
    form->addWidget(m_signInPage);
    form->addWidget(m_signUpPage);
    form->addWidget(m_resetPage);
    form->addWidget(m_errorLine);
    form->addWidget(m_infoLine);
    form->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_photo, 1);
    layout->addWidget(column);
}

QWidget* AuthView::buildSignIn()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(heading(tr("Welcome back"), page));
    bindText(addField(page, u"signIn.email"_s, tr("Email"), false), &AuthView::m_email);
    bindText(addField(page, u"signIn.password"_s, tr("Password"), true), &AuthView::m_password);
    m_signInButton = addPrimary(page, u"signIn.submit"_s, tr("Sign In"), [this] {
        submit([this, email = m_email, password = m_password] { return signIn(email, password); });
    });
    addLink(page, u"signIn.forgot"_s, tr("Forgot your password?"), Mode::reset);
    addLink(page, u"signIn.create"_s, tr("New to Lumivale? Create an account"), Mode::signUp);
    return page;
}

QWidget* AuthView::buildSignUp()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(heading(tr("Create your account"), page));

    auto* names = new QHBoxLayout;
    layout->addLayout(names);
    QLineEdit* first = addField(page, u"signUp.first"_s, tr("First name"), false);
    QLineEdit* last = addField(page, u"signUp.last"_s, tr("Last name"), false);
    layout->removeWidget(first);
    layout->removeWidget(last);
    names->addWidget(first);
    names->addWidget(last);
    bindText(first, &AuthView::m_first);
    bindText(last, &AuthView::m_last);
    bindText(addField(page, u"signUp.email"_s, tr("Email"), false), &AuthView::m_email);
    bindText(addField(page, u"signUp.password"_s, tr("Password"), true), &AuthView::m_password);
    addPasswordRule(page, u"signUp.passwordRule"_s);
    // "Create Account" only asks about the sampler; its answers create the account.
    m_createButton = addPrimary(page, u"signUp.submit"_s, tr("Create Account"), [this] {
        submit([this]() -> QCoro::Task<void> {
            askSampler();
            co_return;
        });
    });

    auto* terms = new LinkLabel(page);
    terms->setObjectName(u"signUp.terms"_s);
    // Links in the window's tint, like the rest of the form.
    const QString linkStyle = u"style=\"color: %1\""_s.arg(Palette::dark().name());
    terms->setText(
        tr("By creating an account you agree to the <a href=\"%1\" %3>Terms of Use</a> and "
           "<a href=\"%2\" %3>Privacy Policy</a>.")
            .arg(ServiceSite::termsPage().toString(), ServiceSite::privacyPage().toString(), linkStyle));
    terms->setWordWrap(true);
    terms->setFont(BundledFonts::font(11, QFont::Normal));
    terms->setStyleSheet(u"color: %1;"_s.arg(Palette::muted().name()));
    connect(terms, &QLabel::linkActivated, this, [this](const QString& link) { m_links.open(QUrl(link)); });
    layout->addWidget(terms);

    addLink(page, u"signUp.signIn"_s, tr("Already have an account? Sign in"), Mode::signIn);
    return page;
}

QWidget* AuthView::buildReset()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(heading(tr("Reset your password"), page));
    m_resetEmail = addField(page, u"reset.email"_s, tr("Email"), false);
    bindText(m_resetEmail, &AuthView::m_email);
    m_codeField = addField(page, u"reset.code"_s, tr("Code from the email"), false);
    bindText(m_codeField, &AuthView::m_code);
    m_sendCodeButton = addPrimary(page, u"reset.sendCode"_s, tr("Email Me a Code"),
                                  [this] { submit([this, email = m_email] { return sendCode(email); }); });
    m_enterCodeButton = addPrimary(page, u"reset.enterCode"_s, tr("Enter Code"), [this] {
        submit([this, email = m_email, code = m_code] { return enterCode(email, code); });
    });
    m_newPasswordField = addField(page, u"reset.password"_s, tr("New password"), true);
    bindText(m_newPasswordField, &AuthView::m_newPassword);
    m_newPasswordRule = addPasswordRule(page, u"reset.passwordRule"_s);
    m_setPasswordButton = addPrimary(page, u"reset.setPassword"_s, tr("Set Password and Sign In"), [this] {
        submit([this, email = m_email, code = m_code, password = m_newPassword] {
            return setPasswordAndSignIn(email, code, password);
        });
    });
    addLink(page, u"reset.back"_s, tr("Back to sign in"), Mode::signIn);
    return page;
}

QLineEdit* AuthView::addField(QWidget* page, const QString& name, const QString& placeholder, bool secret)
{
    auto* field = new QLineEdit(page);
    field->setObjectName(name);
    field->setPlaceholderText(placeholder);
    // Screen readers name a field by this; the placeholder disappears once something is typed.
    field->setAccessibleName(placeholder);
    field->setMinimumHeight(30);
    if (secret)
        field->setEchoMode(QLineEdit::Password);
    connect(field, &QLineEdit::returnPressed, this, &AuthView::pressPrimary);
    page->layout()->addWidget(field);
    return field;
}

QLabel* AuthView::addPasswordRule(QWidget* page, const QString& name)
{
    auto* rule = new QLabel(tr("At least %1 characters").arg(minimumPasswordLength), page);
    rule->setObjectName(name);
    rule->setTextFormat(Qt::PlainText);
    rule->setFont(BundledFonts::font(11, QFont::Normal));
    rule->setStyleSheet(u"color: %1;"_s.arg(Palette::muted().name()));
    page->layout()->addWidget(rule);
    return rule;
}

QPushButton* AuthView::addLink(QWidget* page, const QString& name, const QString& title, Mode target)
{
    auto* link = new QPushButton(title, page);
    link->setObjectName(name);
    link->setAccessibleName(title);
    link->setFlat(true);
    link->setAutoDefault(false);
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(u"QPushButton { color: %1; text-decoration: underline; border: none; background: "
                        "transparent; text-align: left; padding: 0; }"_s.arg(Palette::dark().name()));
    connect(link, &QPushButton::clicked, this, [this, target] { switchMode(target); });
    page->layout()->addWidget(link);
    return link;
}

PrimaryButton* AuthView::addPrimary(QWidget* page, const QString& name, const QString& title,
                                    std::function<void()> press)
{
    auto* button = new PrimaryButton(title, page);
    button->setObjectName(name);
    button->setAccessibleName(title);
    connect(button, &QPushButton::clicked, this, std::move(press));
    page->layout()->addWidget(button);
    return button;
}

void AuthView::bindText(QLineEdit* field, QString AuthView::*state)
{
    m_bindings.append({field, state});
    connect(field, &QLineEdit::textEdited, this, [this, state](const QString& text) {
        this->*state = text;
        refresh();
    });
}

void AuthView::switchMode(Mode mode)
{
    m_mode = mode;
    m_error.reset();
    m_info.reset();
    m_codeSent = false;
    m_codeChecked = false;
    m_code.clear();
    m_newPassword.clear();
    refresh();
    focusFirstField();
}

void AuthView::focusFirstField()
{
    const QString first = m_mode == Mode::signUp   ? u"signUp.first"_s
                          : m_mode == Mode::signIn ? u"signIn.email"_s
                                                   : u"reset.email"_s;
    if (auto* field = findChild<QLineEdit*>(first))
        field->setFocus();
}

void AuthView::focusResetStep()
{
    if (m_mode != Mode::reset)
        return;
    if (m_codeChecked)
        m_newPasswordField->setFocus();
    else if (m_codeSent)
        m_codeField->setFocus();
}

void AuthView::refresh()
{
    for (const auto& [field, state] : std::as_const(m_bindings)) {
        if (field->text() != this->*state)
            field->setText(this->*state);
    }
    m_signInPage->setVisible(m_mode == Mode::signIn);
    m_signUpPage->setVisible(m_mode == Mode::signUp);
    m_resetPage->setVisible(m_mode == Mode::reset);

    // An address of blanks is no address: it would only come back as an error.
    const bool hasEmail = !m_email.trimmed().isEmpty();
    m_signInButton->setEnabled(!m_busy && hasEmail && !m_password.isEmpty());
    m_createButton->setEnabled(!m_busy && !m_first.isEmpty() && hasEmail &&
                               Graphemes::count(m_password) >= minimumPasswordLength);
    m_sendCodeButton->setEnabled(!m_busy && hasEmail);
    m_enterCodeButton->setEnabled(!m_busy && !m_code.isEmpty());
    m_setPasswordButton->setEnabled(!m_busy && !m_code.isEmpty() &&
                                    Graphemes::count(m_newPassword) >= minimumPasswordLength);
    for (PrimaryButton* button :
         {m_signInButton, m_createButton, m_sendCodeButton, m_enterCodeButton, m_setPasswordButton})
        button->setBusy(m_busy);

    m_resetEmail->setEnabled(!m_codeSent);
    m_codeField->setVisible(m_codeSent);
    m_codeField->setEnabled(!m_codeChecked);
    m_sendCodeButton->setVisible(!m_codeSent);
    m_enterCodeButton->setVisible(m_codeSent && !m_codeChecked);
    m_newPasswordField->setVisible(m_codeChecked);
    m_newPasswordRule->setVisible(m_codeChecked);
    m_setPasswordButton->setVisible(m_codeChecked);

    m_errorLine->setText(m_error.value_or(QString()));
    m_errorLine->setVisible(m_error.has_value());
    m_infoLine->setText(m_info.value_or(QString()));
    m_infoLine->setVisible(m_info.has_value());
}

void AuthView::pressPrimary()
{
    for (PrimaryButton* button :
         {m_signInButton, m_createButton, m_sendCodeButton, m_enterCodeButton, m_setPasswordButton}) {
        if (button->isVisibleTo(this) && button->parentWidget()->isVisibleTo(this) && button->isEnabled()) {
            button->click();
            return;
        }
    }
}

void AuthView::submit(Action action, bool isSignUp)
{
    // run catches whatever the action throws, so the dropped task never ends in an exception.
    run(std::move(action), isSignUp);
}

QCoro::Task<void> AuthView::run(Action action, bool isSignUp)
{
    const QPointer<AuthView> self(this);
    // A disabled button or field hands the focus on; it comes back once the action ends.
    const QPointer<QWidget> focused = focusWidget();
    m_busy = true;
    m_error.reset();
    refresh();
    std::exception_ptr failure;
    try {
        co_await action();
    } catch (...) {
        failure = std::current_exception();
    }
    // A successful sign-in replaces this view while the action still runs.
    if (!self)
        co_return;
    if (failure)
        m_error = errorMessage(failure, isSignUp);
    m_busy = false;
    refresh();
    if (focused && focused->isVisibleTo(this) && focused->isEnabled())
        focused->setFocus();
    if (!failure)
        focusResetStep();
}

void AuthView::askSampler()
{
    auto* question = new QMessageBox(this);
    question->setPalette(Palette::widgets());
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setWindowModality(Qt::WindowModal);
    question->setIcon(QMessageBox::Question);
    question->setWindowTitle(u"Lumivale"_s);
    question->setTextFormat(Qt::PlainText);
    question->setText(tr("Start with a sampler of playlists and photos?"));
    question->setInformativeText(tr(
        "Lumivale has about 5,000 photos. You organize them into playlists that show on your desktop and in "
        "the screen saver. A sampler is a few playlists of popular photos, already on your desktop and "
        "screen "
        "saver, so you can start right away. They're easy to remove later."));
    QPushButton* sampler = question->addButton(tr("Create a Sampler"), QMessageBox::AcceptRole);
    QPushButton* notYet = question->addButton(tr("Not Just Yet"), QMessageBox::AcceptRole);
    question->addButton(tr("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(sampler);
    connect(question, &QMessageBox::buttonClicked, this, [this, sampler, notYet](QAbstractButton* answer) {
        if (answer != sampler && answer != notYet)
            return;
        const bool withSampler = answer == sampler;
        submit([this, first = m_first, last = m_last, email = m_email, password = m_password,
                withSampler] { return createAccount(first, last, email, password, withSampler); },
               true);
    });
    m_samplerQuestion = question;
    question->open();
}

QString AuthView::errorMessage(std::exception_ptr error, bool isSignUp)
{
    try {
        std::rethrow_exception(error);
    } catch (const AuthMessage& message) {
        return message.text();
    } catch (const APIError& apiError) {
        if (apiError.kind() == APIError::Kind::Http) {
            const int status = apiError.status();
            if (isSignUp && (status == 409 || status == 403 || status == 422))
                return tr("We couldn't create that account. If you already have one, sign in or reset your "
                          "password.");
            if (status == 401 || status == 404 || status == 422)
                return tr("That email and password don't match. Try again or reset your password.");
            if (status == 403)
                return tr("We couldn't sign you in. Contact %1 if this keeps happening.")
                    .arg(ServiceSite::supportEmail());
        }
        return apiError.userMessage();
    } catch (const std::exception& other) {
        return QString::fromUtf8(other.what());
    } catch (...) {
        return tr("Something went wrong.");
    }
}

QCoro::Task<void> AuthView::loadPhoto()
{
    const QPointer<AuthPhotoPanel> panel(m_photo);
    // The panel is never larger than the screen it is on.
    const QSize cover = panel->screen()->size() * panel->devicePixelRatioF();
    std::optional<QImage> photo =
        co_await ImageLoader::load(m_model.api().network(), ServiceSite::samplePhoto(), cover);
    if (panel && photo)
        panel->setPhoto(std::move(*photo));
}

QCoro::Task<void> AuthView::signIn(QString email, QString password)
{
    AppModel& model = m_model;
    co_await model.signIn(std::move(email), std::move(password));
}

QCoro::Task<void> AuthView::createAccount(QString first, QString last, QString email, QString password,
                                          bool sampler)
{
    AppModel& model = m_model;
    co_await model.createAccount(std::move(first), std::move(last), std::move(email), std::move(password),
                                 sampler);
}

QCoro::Task<void> AuthView::sendCode(QString email)
{
    const QPointer<AuthView> self(this);
    try {
        co_await m_model.api().requestPasswordReset(std::move(email));
    } catch (const APIError& error) {
        // Whether an address has an account is not for this form to tell: the line below holds
        // either way.
        if (!isNotFound(error))
            throw;
    }
    if (!self)
        co_return;
    m_codeSent = true;
    m_info = tr("If there's an account for %1, a code is on its way.").arg(m_email);
}

QCoro::Task<void> AuthView::enterCode(QString email, QString code)
{
    const QPointer<AuthView> self(this);
    APIClient& api = m_model.api();
    try {
        co_await api.validateResetCode(std::move(email), std::move(code));
    } catch (const APIError& error) {
        if (isRejectedCode(error))
            throw AuthMessage(wrongCodeMessage());
        throw;
    }
    if (!self)
        co_return;
    m_codeChecked = true;
    m_info.reset();
}

QCoro::Task<void> AuthView::setPasswordAndSignIn(QString email, QString code, QString password)
{
    AppModel& model = m_model;
    try {
        co_await model.api().setPassword(email, std::move(code), password);
    } catch (const APIError& error) {
        if (isNotFound(error))
            throw AuthMessage(wrongCodeMessage());
        throw;
    }
    co_await model.signIn(std::move(email), std::move(password));
}

} // namespace lumi
