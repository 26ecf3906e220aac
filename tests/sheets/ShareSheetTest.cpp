#include "sheets/ShareSheet.h"
#include "model/Graphemes.h"
#include "support/ReviewGrab.h"
#include "support/state/ModelHarness.h"
#include "widgets/PictureFrame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using lumi::Medium;
using lumi::ShareSheet;
using lumi::test::ModelHarness;

class ShareSheetTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sendsToTheTrimmedAddressAndCloses();
    void aRejectionShowsAsTextAndKeepsTheFields();
    void sendNeedsAnAtSign();
    void limitsCountWhatTheUserSees_data();
    void limitsCountWhatTheUserSees();
    void returnTwiceSendsOnce();
    void cancelDuringASendStillReportsIt();
    void photoPageOnlyForAnHttpsLink_data();
    void photoPageOnlyForAnHttpsLink();

private:
    ShareSheet* open(Medium photo);
    ShareSheet* open() { return open(m_photo); }
    QLineEdit* email() { return m_sheet->findChild<QLineEdit*>(u"share.email"_s); }
    QPlainTextEdit* message() { return m_sheet->findChild<QPlainTextEdit*>(u"share.message"_s); }
    QPushButton* button(const QString& name) { return m_sheet->findChild<QPushButton*>(name); }
    bool delayShares();

    std::unique_ptr<ModelHarness> m_harness;
    Medium m_photo;
    std::unique_ptr<QWidget> m_window;
    QPointer<ShareSheet> m_sheet;
    QStringList m_sent;
};

void ShareSheetTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->launchSignedIn();
    m_photo = m_harness->catalogPhotos(1).value(0);
    QVERIFY(!m_photo.uuid.isEmpty());
    m_window = std::make_unique<QWidget>();
    m_window->show();
    m_sent.clear();
}

void ShareSheetTest::cleanup()
{
    m_window.reset();
    m_harness.reset();
}

ShareSheet* ShareSheetTest::open(Medium photo)
{
    m_sheet = new ShareSheet(
        m_harness->model(), m_harness->links, std::move(photo), [this](QString text) { m_sent.append(text); },
        m_window.get());
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet->open();
    return m_sheet;
}

bool ShareSheetTest::delayShares()
{
    return m_harness->sandbox.addFault(
        {{u"method"_s, u"POST"_s}, {u"path"_s, u"/api/v6/shares"_s}, {u"delayMs"_s, 600}});
}

void ShareSheetTest::sendsToTheTrimmedAddressAndCloses()
{
    open();
    QCOMPARE(m_sheet->findChild<QLabel*>(u"share.title"_s)->text(), m_photo.displayTitle());
    QTest::keyClicks(email(), u" \tfriend@example.test\t "_s);
    m_sheet->grab();
    auto* thumbnail = m_sheet->findChild<lumi::PictureFrame*>(u"share.thumbnail"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!thumbnail->picture().isNull(), 10000);
    lumi::test::saveForReview(*m_sheet, u"share-sheet"_s);
    QTest::mouseClick(button(u"share.send"_s), Qt::LeftButton);
    QTRY_VERIFY(!m_sheet);
    QCOMPARE(m_sent, QStringList{u"Sent to friend@example.test"_s});
    const QJsonArray posts = m_harness->apiRequests(u"POST"_s, u"shares"_s);
    QCOMPARE(posts.size(), 1);
    const QJsonObject body = ModelHarness::bodyOf(posts[0]);
    QCOMPARE(body[u"email"_s].toString(), u"friend@example.test"_s);
    QCOMPARE(body[u"comment"_s].toString(u"absent"_s), QString());
    QCOMPARE(body[u"muuid"_s].toString(), m_photo.uuid);
}

void ShareSheetTest::aRejectionShowsAsTextAndKeepsTheFields()
{
    const QString reason = u"<b>Nobody</b> by that address"_s;
    QVERIFY(m_harness->sandbox.addFault(
        {{u"method"_s, u"POST"_s},
         {u"path"_s, u"/api/v6/shares"_s},
         {u"status"_s, 422},
         {u"body"_s, QString::fromUtf8(QJsonDocument(QJsonObject{{u"error"_s, reason}}).toJson())}}));
    open();
    QTest::keyClicks(email(), u"friend@example.test"_s);
    message()->setPlainText(u"Look!"_s);
    QTest::mouseClick(button(u"share.send"_s), Qt::LeftButton);

    auto* failure = m_sheet->findChild<QLabel*>(u"share.failure"_s);
    QTRY_VERIFY(failure->isVisible());
    QCOMPARE(failure->text(), reason);
    QCOMPARE(failure->textFormat(), Qt::PlainText);
    QCOMPARE(failure->palette().color(QPalette::WindowText), QColor(Qt::red));
    // The sheet makes room for the red line: the message box stays whole above it.
    QTRY_VERIFY(failure->mapTo(m_sheet, QPoint()).y() > message()->mapTo(m_sheet, QPoint()).y());
    const QRect box(message()->mapTo(m_sheet, QPoint()), message()->size());
    QCOMPARE(box.height(), 84);
    QVERIFY(m_sheet->rect().contains(box));
    QVERIFY(box.bottom() < failure->mapTo(m_sheet, QPoint()).y());
    QVERIFY(m_sheet->rect().contains(QRect(failure->mapTo(m_sheet, QPoint()), failure->size())));
    QVERIFY(m_sheet->isVisible());
    QCOMPARE(email()->text(), u"friend@example.test"_s);
    QCOMPARE(message()->toPlainText(), u"Look!"_s);
    QVERIFY(button(u"share.send"_s)->isEnabled());
    QVERIFY(m_sent.isEmpty());

    // A new send clears the red text before it starts.
    m_harness->sandbox.clearFaults();
    QVERIFY(delayShares());
    QTest::mouseClick(button(u"share.send"_s), Qt::LeftButton);
    QVERIFY(!failure->isVisible());
    QTRY_COMPARE(m_sent, QStringList{u"Sent to friend@example.test"_s});
}

void ShareSheetTest::sendNeedsAnAtSign()
{
    open();
    QTest::keyClicks(email(), u"friend.example.test"_s);
    QVERIFY(!button(u"share.send"_s)->isEnabled());
    QTest::keyClick(email(), Qt::Key_Return);
    QVERIFY(!m_sheet->isSending());
    QVERIFY(m_sheet && m_sheet->isVisible());
    QCOMPARE(m_harness->apiRequests(u"POST"_s, u"shares"_s).size(), 0);
}

void ShareSheetTest::limitsCountWhatTheUserSees_data()
{
    QTest::addColumn<bool>("inAddress");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("kept");

    QTest::newRow("address of letters") << true << u"a"_s << ShareSheet::emailLimit;
    QTest::newRow("address of flags") << true << u"🇵🇹"_s << ShareSheet::emailLimit;
    QTest::newRow("message of families")
        << false << u"👨‍👩‍👧‍👦"_s << ShareSheet::messageLimit;
    QTest::newRow("message of combining marks") << false << u"e\u0301\u0323"_s << ShareSheet::messageLimit;
}

void ShareSheetTest::limitsCountWhatTheUserSees()
{
    QFETCH(bool, inAddress);
    QFETCH(QString, unit);
    QFETCH(int, kept);

    open();
    const QString pasted = unit.repeated(kept + 300);
    if (inAddress)
        email()->insert(pasted);
    else
        message()->insertPlainText(pasted);
    const QString text = inAddress ? email()->text() : message()->toPlainText();
    QCOMPARE(text, unit.repeated(kept));
    QCOMPARE(lumi::Graphemes::count(text), kept);
}

void ShareSheetTest::returnTwiceSendsOnce()
{
    QVERIFY(delayShares());
    open();
    QTest::keyClicks(email(), u"friend@example.test"_s);
    QTest::keyClick(email(), Qt::Key_Return);
    QVERIFY(m_sheet->isSending());
    QVERIFY(!button(u"share.send"_s)->isEnabled());
    QTest::keyClick(email(), Qt::Key_Return);
    QTRY_COMPARE(m_sent.size(), 1);
    QTest::qWait(200);
    QCOMPARE(m_harness->apiRequests(u"POST"_s, u"shares"_s).size(), 1);
}

void ShareSheetTest::cancelDuringASendStillReportsIt()
{
    QVERIFY(delayShares());
    open();
    QTest::keyClicks(email(), u"friend@example.test"_s);
    QTest::mouseClick(button(u"share.send"_s), Qt::LeftButton);
    QTest::mouseClick(button(u"share.cancel"_s), Qt::LeftButton);
    QVERIFY(!m_sheet || !m_sheet->isVisible());
    QVERIFY(m_sent.isEmpty());
    QTRY_COMPARE(m_sent, QStringList{u"Sent to friend@example.test"_s});
}

void ShareSheetTest::photoPageOnlyForAnHttpsLink_data()
{
    QTest::addColumn<std::optional<QString>>("source");
    QTest::addColumn<bool>("offered");

    QTest::newRow("none") << std::optional<QString>() << false;
    QTest::newRow("http") << std::optional<QString>(u"http://photos.example.test/1"_s) << false;
    QTest::newRow("https") << std::optional<QString>(u"https://photos.example.test/1"_s) << true;
}

void ShareSheetTest::photoPageOnlyForAnHttpsLink()
{
    QFETCH(std::optional<QString>, source);
    QFETCH(bool, offered);

    Medium photo = m_photo;
    photo.sourceUrl = source;
    open(photo);
    QPushButton* page = button(u"share.photoPage"_s);
    QCOMPARE(page != nullptr, offered);
    if (!page)
        return;
    QTest::mouseClick(page, Qt::LeftButton);
    QCOMPARE(m_harness->journal.calls().filter(u"links."_s), QStringList{u"links.open(%1)"_s.arg(*source)});
    QTRY_VERIFY(!m_sheet);
    QVERIFY(m_sent.isEmpty());
}

QTEST_MAIN(ShareSheetTest)
#include "ShareSheetTest.moc"
