#include "app/AuthView.h"
#include "app/AuthPhotoPanel.h"
#include "support/state/ModelHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AuthView;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;

namespace {

// Each step of a script: "mode:<signIn|signUp|reset>", "<field>=<text typed>", "click:<button>"
// (then waits for the action to end) or "answer:<title>" (a button of the sampler question).
const QString demoEmail = SandboxFixture::demoEmail;

} // namespace

class AuthViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensOnCreateAccountWithEverythingEmpty();
    void primaryButtonsFollowTheirRules_data();
    void primaryButtonsFollowTheirRules();
    void returnPressesOnlyAnEnabledButton_data();
    void returnPressesOnlyAnEnabledButton();
    void failuresBecomeTheErrorLine_data();
    void failuresBecomeTheErrorLine();
    void resetWalksThroughItsThreeSteps();
    void samplerQuestionDecidesTheAccount_data();
    void samplerQuestionDecidesTheAccount();
    void switchingModesKeepsWhatWasTyped();
    void everyControlHasAnAccessibleName();
    void tabStopsOnEachTermsLink();
    void showsTheSamplePhotoOnlyWhole_data();
    void showsTheSamplePhotoOnlyWhole();

private:
    AuthView& view();
    template <typename T> T* child(const QString& name);
    void run(const QStringList& script);
    /// The text of a visible line, empty when the line is hidden.
    QString line(const QString& name);
    QStringList requestLines() { return m_harness->requestLines(); }

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<AuthView> m_view;
};

void AuthViewTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->model().launch();
    m_harness->sandbox.clearRequests();
}

void AuthViewTest::cleanup()
{
    m_view.reset();
    m_harness.reset();
}

AuthView& AuthViewTest::view()
{
    if (!m_view) {
        m_view = std::make_unique<AuthView>(m_harness->model(), m_harness->links);
        m_view->resize(1280, 800);
        m_view->show();
        m_view->activateWindow();
        if (!QTest::qWaitForWindowActive(m_view.get()))
            qWarning("the view did not become active");
    }
    return *m_view;
}

template <typename T> T* AuthViewTest::child(const QString& name)
{
    T* found = view().findChild<T*>(name);
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

QString AuthViewTest::line(const QString& name)
{
    const QLabel* label = child<QLabel>(name);
    return label && label->isVisibleTo(&view()) ? label->text() : QString();
}

void AuthViewTest::run(const QStringList& script)
{
    for (const QString& step : script) {
        if (step.startsWith(u"mode:"_s)) {
            const QString mode = step.mid(5);
            view().switchMode(mode == u"signIn"_s   ? AuthView::Mode::signIn
                              : mode == u"signUp"_s ? AuthView::Mode::signUp
                                                    : AuthView::Mode::reset);
        } else if (step.startsWith(u"click:"_s)) {
            QPushButton* button = child<QPushButton>(step.mid(6));
            QVERIFY2(button && button->isEnabled(), qPrintable(step));
            QTest::mouseClick(button, Qt::LeftButton);
            QTRY_VERIFY(!view().isBusy());
        } else if (step.startsWith(u"answer:"_s)) {
            QMessageBox* question = view().findChild<QMessageBox*>();
            QVERIFY2(question && question->isVisible(), "the sampler question is not shown");
            QAbstractButton* answer = nullptr;
            for (QAbstractButton* button : question->buttons()) {
                if (button->text() == step.mid(7))
                    answer = button;
            }
            QVERIFY2(answer, qPrintable(step));
            QTest::mouseClick(answer, Qt::LeftButton);
            QTRY_VERIFY(!view().isBusy());
        } else {
            const qsizetype equals = step.indexOf(u'=');
            QLineEdit* field = child<QLineEdit>(step.left(equals));
            QVERIFY2(field, qPrintable(step));
            // One key event with the whole text, as an input method commits it.
            QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, step.mid(equals + 1));
            QApplication::sendEvent(field, &typed);
        }
    }
}

void AuthViewTest::opensOnCreateAccountWithEverythingEmpty()
{
    QCOMPARE(view().mode(), AuthView::Mode::signUp);
    for (QLineEdit* field : view().findChildren<QLineEdit*>())
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
    QVERIFY(child<QLineEdit>(u"signUp.first"_s)->isVisible());
    QVERIFY(!child<QPushButton>(u"signUp.submit"_s)->isEnabled());
    QVERIFY(line(u"error"_s).isEmpty());
}

void AuthViewTest::primaryButtonsFollowTheirRules_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");

    const QString create = u"signUp.submit"_s;
    QTest::newRow("sign-up, 5-character password")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=12345"_s}
        << create << false;
    QTest::newRow("sign-up, 6 characters and no last name")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=123456"_s}
        << create << true;
    QTest::newRow("sign-up, no first name")
        << QStringList{u"signUp.last=Lovelace"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=123456"_s}
        << create << false;
    QTest::newRow("sign-up, 6 accented letters typed as letter and accent")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s,
                       u"signUp.password=e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"_s}
        << create << true;
    QTest::newRow("sign-up, 5 emoji are 5 characters")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=😀😀😀😀😀"_s}
        << create << false;
    QTest::newRow("sign-up, blank name and password count as typed")
        << QStringList{u"signUp.first= "_s, u"signUp.email=ada@x.test"_s, u"signUp.password=      "_s}
        << create << true;
    QTest::newRow("sign-up, an e-mail of blanks")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email= \t "_s, u"signUp.password=123456"_s} << create
        << false;
    QTest::newRow("sign-in, an e-mail of blanks")
        << QStringList{u"mode:signIn"_s, u"signIn.email=  "_s, u"signIn.password=p"_s} << u"signIn.submit"_s
        << false;
    QTest::newRow("reset, an e-mail of blanks")
        << QStringList{u"mode:reset"_s, u"reset.email= "_s} << u"reset.sendCode"_s << false;
    QTest::newRow("sign-in, 1-character password")
        << QStringList{u"mode:signIn"_s, u"signIn.email=ada@x.test"_s, u"signIn.password=p"_s}
        << u"signIn.submit"_s << true;
    QTest::newRow("sign-in, no e-mail")
        << QStringList{u"mode:signIn"_s, u"signIn.password=secret"_s} << u"signIn.submit"_s << false;
    QTest::newRow("reset, an e-mail")
        << QStringList{u"mode:reset"_s, u"reset.email=ada@x.test"_s} << u"reset.sendCode"_s << true;
    QTest::newRow("reset, no e-mail") << QStringList{u"mode:reset"_s} << u"reset.sendCode"_s << false;
}

void AuthViewTest::primaryButtonsFollowTheirRules()
{
    QFETCH(QStringList, script);
    QFETCH(QString, button);
    QFETCH(bool, enabled);

    run(script);
    QCOMPARE(child<QPushButton>(button)->isEnabled(), enabled);
}

void AuthViewTest::returnPressesOnlyAnEnabledButton_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("field");   // where Return is pressed
    QTest::addColumn<QString>("outcome"); // the request sent, "question" for the sampler question, or none

    const QStringList signUp{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s,
                             u"signUp.password=analytical"_s};
    QTest::newRow("sign-in, filled in")
        << QStringList{u"mode:signIn"_s, u"signIn.email="_s + demoEmail, u"signIn.password=lumivale-demo"_s}
        << u"signIn.email"_s << u"POST /tokens"_s;
    QTest::newRow("sign-in, no password")
        << QStringList{u"mode:signIn"_s, u"signIn.email="_s + demoEmail} << u"signIn.email"_s << QString();
    QTest::newRow("sign-up, in the password") << signUp << u"signUp.password"_s << u"question"_s;
    QTest::newRow("sign-up, in the last name") << signUp << u"signUp.last"_s << u"question"_s;
    QTest::newRow("sign-up, short password")
        << QStringList{u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=12345"_s}
        << u"signUp.password"_s << QString();
    QTest::newRow("reset, an e-mail") << QStringList{u"mode:reset"_s, u"reset.email="_s + demoEmail}
                                      << u"reset.email"_s << u"POST /passwords/reset"_s;
}

void AuthViewTest::returnPressesOnlyAnEnabledButton()
{
    QFETCH(QStringList, script);
    QFETCH(QString, field);
    QFETCH(QString, outcome);

    run(script);
    QTest::keyClick(child<QLineEdit>(field), Qt::Key_Return);
    QTRY_VERIFY(!view().isBusy());
    QVERIFY(m_harness->settle());
    const QMessageBox* question = view().findChild<QMessageBox*>();
    QCOMPARE(question && question->isVisible(), outcome == u"question"_s);
    if (outcome != u"question"_s)
        QCOMPARE(requestLines().value(0), outcome);
}

void AuthViewTest::failuresBecomeTheErrorLine_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("error");

    const QStringList signIn{u"mode:signIn"_s, u"signIn.email="_s + demoEmail,
                             u"signIn.password=lumivale-demo"_s, u"click:signIn.submit"_s};
    const QStringList signUp{
        u"signUp.first=Ada"_s,           u"signUp.last=Lovelace"_s, u"signUp.email=ada@lovelace.test"_s,
        u"signUp.password=analytical"_s, u"click:signUp.submit"_s,  u"answer:Not Just Yet"_s};
    const QJsonObject noFault;
    const auto tokensFault = [](int status, const QJsonObject& body) {
        const QString text = QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact));
        return QJsonObject{{u"method"_s, u"POST"_s},
                           {u"path"_s, u"/api/v6/tokens"_s},
                           {u"status"_s, status},
                           {u"body"_s, text}};
    };
    const QString mismatch = u"That email and password don't match. Try again or reset your password."_s;
    const QString notCreated =
        u"We couldn't create that account. If you already have one, sign in or reset your password."_s;

    QTest::newRow("sign-in, wrong password")
        << QStringList{u"mode:signIn"_s, u"signIn.email="_s + demoEmail, u"signIn.password=not-it"_s,
                       u"click:signIn.submit"_s}
        << noFault << mismatch;
    QTest::newRow("sign-in, 404") << signIn << tokensFault(404, {}) << mismatch;
    QTest::newRow("sign-in, 403") << signIn << tokensFault(403, {})
                                  << u"We couldn't sign you in. Contact support@lumivale.com if this keeps "
                                     "happening."_s;
    QTest::newRow("sign-in, 409 with the server's words")
        << signIn << tokensFault(409, {{u"error"_s, u"<b>Locked</b> for review."_s}})
        << u"<b>Locked</b> for review."_s;
    QTest::newRow("sign-in, 500 without words")
        << signIn << tokensFault(500, {}) << u"The Lumivale server answered with an error (500)."_s;
    QTest::newRow("sign-in, network down")
        << signIn
        << QJsonObject{{u"method"_s, u"POST"_s}, {u"path"_s, u"/api/v6/tokens"_s}, {u"drop"_s, true}}
        << u"Can't reach Lumivale. Check your internet connection."_s;
    QTest::newRow("sign-up, a domain that takes no mail")
        << QStringList{u"signUp.first=Ada"_s,
                       u"signUp.last=Lovelace"_s,
                       u"signUp.email=ada@invalid.test"_s,
                       u"signUp.password=analytical"_s,
                       u"click:signUp.submit"_s,
                       u"answer:Create a Sampler"_s}
        << noFault << u"Please check your email address. Mail can't be delivered to that domain."_s;
    QTest::newRow("sign-up, an address already taken")
        << QStringList{u"signUp.first=Ada"_s,          u"signUp.last=Lovelace"_s,
                       u"signUp.email="_s + demoEmail, u"signUp.password=analytical"_s,
                       u"click:signUp.submit"_s,       u"answer:Not Just Yet"_s}
        << noFault << notCreated;
    QTest::newRow("sign-up, 409") << signUp
                                  << QJsonObject{{u"method"_s, u"POST"_s},
                                                 {u"path"_s, u"/api/v6/users"_s},
                                                 {u"status"_s, 409}}
                                  << notCreated;
    QTest::newRow("reset, wrong code")
        << QStringList{u"mode:reset"_s, u"reset.email="_s + demoEmail, u"click:reset.sendCode"_s,
                       u"reset.code=000000"_s, u"click:reset.enterCode"_s}
        << noFault << u"That code didn't work. Check the email or send a new one."_s;
    QTest::newRow("reset, new password turned down")
        << QStringList{u"mode:reset"_s,
                       u"reset.email="_s + demoEmail,
                       u"click:reset.sendCode"_s,
                       u"reset.code=123456"_s,
                       u"click:reset.enterCode"_s,
                       u"reset.password=brand-new"_s,
                       u"click:reset.setPassword"_s}
        << QJsonObject{{u"method"_s, u"POST"_s},
                       {u"path"_s, u"/api/v6/passwords/set_password"_s},
                       {u"status"_s, 422}}
        << mismatch;
}

void AuthViewTest::failuresBecomeTheErrorLine()
{
    QFETCH(QStringList, script);
    QFETCH(QJsonObject, fault);
    QFETCH(QString, error);

    if (!fault.isEmpty())
        QVERIFY(m_harness->sandbox.addFault(fault));
    run(script);
    QCOMPARE(line(u"error"_s), error);
    QCOMPARE(child<QLabel>(u"error"_s)->textFormat(), Qt::PlainText);
    // A failure is the form's own business: no alert, still signed out; the offline mark only when
    // no answer came.
    QVERIFY(!m_harness->model().alert());
    QCOMPARE(m_harness->model().isOffline(), fault.value(u"drop"_s).toBool());
    QCOMPARE(m_harness->model().phase(), lumi::AppModel::Phase::signedOut);
}

void AuthViewTest::resetWalksThroughItsThreeSteps()
{
    run({u"signIn.password=typed-at-sign-in"_s, u"mode:reset"_s, u"reset.email="_s + demoEmail,
         u"click:reset.sendCode"_s});
    QCOMPARE(line(u"info"_s), u"If there's an account for %1, a code is on its way."_s.arg(demoEmail));
    // Typing goes on where the next step needs it.
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"reset.code"_s));
    QVERIFY(!child<QLineEdit>(u"reset.email"_s)->isEnabled());
    QVERIFY(child<QLineEdit>(u"reset.code"_s)->isEnabled());
    QVERIFY(!child<QLineEdit>(u"reset.password"_s)->isVisible());

    run({u"reset.code=123456"_s, u"click:reset.enterCode"_s});
    QVERIFY(line(u"info"_s).isEmpty());
    QVERIFY(!child<QLineEdit>(u"reset.code"_s)->isEnabled());
    QVERIFY(child<QLineEdit>(u"reset.password"_s)->isVisible());
    QVERIFY(child<QLineEdit>(u"reset.password"_s)->text().isEmpty());
    QVERIFY(child<QLabel>(u"reset.passwordRule"_s)->isVisible());
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(u"reset.password"_s));
    QVERIFY(!child<QPushButton>(u"reset.setPassword"_s)->isEnabled());

    run({u"reset.password=a-new-secret"_s, u"click:reset.setPassword"_s});
    QVERIFY(m_harness->settle());
    QCOMPARE(m_harness->model().phase(), lumi::AppModel::Phase::ready);
    QCOMPARE(requestLines().mid(0, 4),
             (QStringList{u"POST /passwords/reset"_s, u"POST /passwords/validate_code"_s,
                          u"POST /passwords/set_password"_s, u"POST /tokens"_s}));
    QVERIFY(!m_harness->sandbox.signInToken(demoEmail, u"a-new-secret"_s).isEmpty());
}

void AuthViewTest::samplerQuestionDecidesTheAccount_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QVariant>("sampler"); // create_sampler sent; invalid when no account is made

    QTest::newRow("Create a Sampler") << u"Create a Sampler"_s << QVariant(true);
    QTest::newRow("Not Just Yet") << u"Not Just Yet"_s << QVariant(false);
    QTest::newRow("Cancel") << u"Cancel"_s << QVariant();
}

void AuthViewTest::samplerQuestionDecidesTheAccount()
{
    QFETCH(QString, answer);
    QFETCH(QVariant, sampler);

    run({u"signUp.first=Grace"_s, u"signUp.last=Hopper"_s, u"signUp.email=grace@hopper.test"_s,
         u"signUp.password=cobol-59"_s, u"click:signUp.submit"_s});
    // The button only asks.
    QVERIFY(requestLines().isEmpty());
    run({u"answer:"_s + answer});
    QVERIFY(m_harness->settle());

    QJsonObject created;
    for (const QJsonValue& request : m_harness->apiRequests()) {
        if (request[u"method"_s] == u"POST"_s && request[u"path"_s] == u"/api/v6/users"_s)
            created = ModelHarness::bodyOf(request);
    }
    QCOMPARE(created.isEmpty(), !sampler.isValid());
    if (sampler.isValid()) {
        QCOMPARE(created[u"create_sampler"_s].toBool(), sampler.toBool());
        QCOMPARE(m_harness->model().phase(), lumi::AppModel::Phase::ready);
    }
}

void AuthViewTest::switchingModesKeepsWhatWasTyped()
{
    run({u"mode:signIn"_s, u"signIn.email="_s + demoEmail, u"signIn.password=not-it"_s,
         u"click:signIn.submit"_s});
    QVERIFY(!line(u"error"_s).isEmpty());

    QTest::mouseClick(child<QPushButton>(u"signIn.forgot"_s), Qt::LeftButton);
    QCOMPARE(view().mode(), AuthView::Mode::reset);
    QVERIFY(line(u"error"_s).isEmpty());
    QCOMPARE(child<QLineEdit>(u"reset.email"_s)->text(), demoEmail);
    // A password mistyped at sign-in never becomes the new one.
    QVERIFY(child<QLineEdit>(u"reset.password"_s)->text().isEmpty());

    // Leaving the reset starts it over.
    run({u"click:reset.sendCode"_s});
    QTest::mouseClick(child<QPushButton>(u"reset.back"_s), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(u"signIn.forgot"_s), Qt::LeftButton);
    QVERIFY(line(u"info"_s).isEmpty());
    QVERIFY(child<QLineEdit>(u"reset.email"_s)->isEnabled());
    QVERIFY(!child<QLineEdit>(u"reset.code"_s)->isVisible());
}

void AuthViewTest::everyControlHasAnAccessibleName()
{
    QStringList fieldNames;
    for (QWidget* control : view().findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractButton*>(control))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible, qPrintable(control->objectName()));
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        if (qobject_cast<QLineEdit*>(control))
            fieldNames.append(name);
    }
    fieldNames.sort();
    fieldNames.removeDuplicates();
    QCOMPARE(fieldNames, (QStringList{u"Code from the email"_s, u"Email"_s, u"First name"_s, u"Last name"_s,
                                      u"New password"_s, u"Password"_s}));
}

// From the password, Tab visits the button, each of the terms' two links and the sign-in link:
// the terms text is no stop of its own.
void AuthViewTest::tabStopsOnEachTermsLink()
{
    run({u"signUp.first=Ada"_s, u"signUp.email=ada@x.test"_s, u"signUp.password=analytical"_s});
    child<QLineEdit>(u"signUp.password"_s)->setFocus();
    // Where the focus lands: a widget's name, or the link chosen in a label.
    const auto stops = [](int count, Qt::Key key) {
        QStringList landed;
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key,
                            key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            const QWidget* focused = QApplication::focusWidget();
            const auto* label = qobject_cast<const QLabel*>(focused);
            landed.append(label ? label->selectedText() : focused ? focused->objectName() : QString());
        }
        return landed;
    };
    QCOMPARE(stops(4, Qt::Key_Tab),
             (QStringList{u"signUp.submit"_s, u"Terms of Use"_s, u"Privacy Policy"_s, u"signUp.signIn"_s}));
    QCOMPARE(stops(3, Qt::Key_Backtab),
             (QStringList{u"Privacy Policy"_s, u"Terms of Use"_s, u"signUp.submit"_s}));
}

void AuthViewTest::showsTheSamplePhotoOnlyWhole_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("shown");

    QTest::newRow("whole") << QString() << true;
    QTest::newRow("cut short") << u"short"_s << false;
    QTest::newRow("missing") << u"missing"_s << false;
}

void AuthViewTest::showsTheSamplePhotoOnlyWhole()
{
    QFETCH(QString, fault);
    QFETCH(bool, shown);

    if (!fault.isEmpty())
        QVERIFY(m_harness->sandbox.addFault({{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, fault}}));
    auto* panel = view().findChild<lumi::AuthPhotoPanel*>();
    QVERIFY(panel);
    if (shown) {
        QTRY_VERIFY_WITH_TIMEOUT(panel->hasPhoto(), 10000);
        return;
    }
    QTRY_VERIFY(!m_harness->sandbox.requests().isEmpty());
    // Time for a decode off the main thread, had there been anything to decode.
    QTest::qWait(1000);
    QVERIFY(!panel->hasPhoto());
}

QTEST_MAIN(AuthViewTest)
#include "AuthViewTest.moc"
