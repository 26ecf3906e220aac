#include "settings/ApplicationSettings.h"
#include "support/state/ModelHarness.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::ApplicationSettings;
using lumi::AppModel;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;

class ApplicationSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void passwordRules_data();
    void passwordRules();
    void passwordChangeClearsTheFields();
    void deletionSaysWhatHappened_data();
    void deletionSaysWhatHappened();
    void accountBlockIsPlainText();

private:
    template <typename T> static T* child(QWidget& view, const QString& name)
    {
        T* found = view.findChild<T*>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
};

void ApplicationSettingsTest::passwordRules_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("again");
    QTest::addColumn<QString>("message");

    const QString fiveEmoji = u"😀😀😀😀😀"_s;
    QTest::newRow("mismatch before length") << u"abc"_s << u"abd"_s << u"The two passwords don't match."_s;
    QTest::newRow("long mismatch") << u"abcdefgh"_s << u"abcdefgH"_s << u"The two passwords don't match."_s;
    QTest::newRow("five letters") << u"abcde"_s << u"abcde"_s << u"Use at least 6 characters."_s;
    // Ten UTF-16 units, but five characters to the user.
    QTest::newRow("five emoji") << fiveEmoji << fiveEmoji << u"Use at least 6 characters."_s;
    QTest::newRow("six emoji") << fiveEmoji + u"👍"_s << fiveEmoji + u"👍"_s
                               << u"Your password has been changed."_s;
    QTest::newRow("six accented, combining")
        << u"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"_s << u"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"_s
        << u"Your password has been changed."_s;
}

void ApplicationSettingsTest::passwordRules()
{
    QFETCH(QString, password);
    QFETCH(QString, again);
    QFETCH(QString, message);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    ApplicationSettings view(model, h.settings(), h.shortcuts);
    auto* button = child<QPushButton>(view, u"application.changePassword"_s);
    child<QLineEdit>(view, u"application.again"_s)->setText(again);
    QVERIFY(!button->isEnabled());
    child<QLineEdit>(view, u"application.password"_s)->setText(password);
    QVERIFY(button->isEnabled());

    button->click();
    auto* line = child<QLabel>(view, u"application.passwordMessage"_s);
    QTRY_COMPARE(line->text(), message);
    const bool sent = message == u"Your password has been changed."_s;
    QCOMPARE(h.requestLines().filter(u"passwords/change"_s).size(), sent ? 1 : 0);
    if (sent)
        QCOMPARE(ModelHarness::bodyOf(h.apiRequests().first()), (QJsonObject{{u"password"_s, password}}));
}

void ApplicationSettingsTest::passwordChangeClearsTheFields()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    ApplicationSettings view(model, h.settings(), h.shortcuts);
    auto* password = child<QLineEdit>(view, u"application.password"_s);
    auto* again = child<QLineEdit>(view, u"application.again"_s);
    auto* button = child<QPushButton>(view, u"application.changePassword"_s);
    auto* line = child<QLabel>(view, u"application.passwordMessage"_s);

    // A refusal keeps what was typed, so the user can try again.
    QVERIFY(h.sandbox.addFault({{u"method"_s, u"PUT"_s},
                                {u"path"_s, u"/api/v6/passwords/change"_s},
                                {u"status"_s, 422},
                                {u"body"_s, u"{\"error\":\"<b>Too common</b>\"}"_s},
                                {u"times"_s, 1}}));
    password->setText(u"secret-one"_s);
    again->setText(u"secret-one"_s);
    button->click();
    QVERIFY(!button->isEnabled());
    QTRY_VERIFY(button->isEnabled());
    QCOMPARE(line->text(), u"<b>Too common</b>"_s);
    QCOMPARE(line->textFormat(), Qt::PlainText);
    QCOMPARE(password->text(), u"secret-one"_s);

    button->click();
    QTRY_COMPARE(line->text(), u"Your password has been changed."_s);
    QVERIFY(password->text().isEmpty());
    QVERIFY(again->text().isEmpty());
    QVERIFY(!button->isEnabled());
}

void ApplicationSettingsTest::deletionSaysWhatHappened_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");

    QTest::newRow("immediate") << QString() << u"Your account has been deleted."_s;
    QTest::newRow("requested")
        << u"{\"status\":\"requested\"}"_s
        << u"We've received your request. You'll get an email when your account has been "
           u"deleted."_s;
}

void ApplicationSettingsTest::deletionSaysWhatHappened()
{
    QFETCH(QString, answer);
    QFETCH(QString, result);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    if (!answer.isEmpty())
        QVERIFY(h.sandbox.addFault({{u"method"_s, u"DELETE"_s},
                                    {u"path"_s, u"/api/v6/users"_s},
                                    {u"status"_s, 200},
                                    {u"body"_s, answer}}));
    ApplicationSettings view(model, h.settings(), h.shortcuts);
    view.show();

    child<QPushButton>(view, u"application.delete"_s)->click();
    auto* confirm = child<QMessageBox>(view, u"application.confirmDelete"_s);
    QCOMPARE(confirm->text(), u"Delete your Lumivale account?"_s);
    confirm->reject();
    QCOMPARE(h.requestLines().filter(u"DELETE"_s).size(), 0);

    child<QPushButton>(view, u"application.delete"_s)->click();
    QTRY_VERIFY(view.findChild<QMessageBox*>(u"application.confirmDelete"_s));
    child<QPushButton>(view, u"application.confirmDelete.delete"_s)->click();
    auto* line = child<QLabel>(view, u"application.deleteResult"_s);
    QTRY_COMPARE(line->text(), result);
    QVERIFY(line->isVisible());
    QVERIFY(!model.account().isSignedIn());
    QCOMPARE(h.requestLines().filter(u"DELETE /users"_s).size(), 1);
    // Signed out, only the login item and the outcome stay.
    QVERIFY(child<QCheckBox>(view, u"application.launchAtLogin"_s)->isVisible());
    QVERIFY(!child<QPushButton>(view, u"application.signOut"_s)->isVisible());
}

void ApplicationSettingsTest::accountBlockIsPlainText()
{
    ModelHarness h;
    const QString token = h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, false);
    h.sandbox.call("PUT", u"users"_s, token,
                   {{u"user"_s, QJsonObject{{u"first_name"_s, u"<i>Ada</i>"_s}, {u"last_name"_s, u""_s}}}});
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    ApplicationSettings view(model, h.settings(), h.shortcuts);

    auto* name = child<QLabel>(view, u"application.name"_s);
    QCOMPARE(name->text(), u"<i>Ada</i>"_s);
    QCOMPARE(name->textFormat(), Qt::PlainText);
    QCOMPARE(child<QLabel>(view, u"application.email"_s)->text(), SandboxFixture::demoEmail);
}

QTEST_MAIN(ApplicationSettingsTest)
#include "ApplicationSettingsTest.moc"
