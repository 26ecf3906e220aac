#include "app/UpdateOffer.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingLinkOpener.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::UpdateCheck;

class UpdateOfferTest final : public QObject
{
    Q_OBJECT

private slots:
    void offersTheDownloadPageWithoutBlocking();
};

namespace {

UpdateCheck newer(const QString& version)
{
    return UpdateCheck{.outcome = UpdateCheck::Outcome::newer, .version = version,
                       .downloadPage = QUrl(u"https://lumivale.com/download/"_s + version),
                       .releaseNotes = u"<b>notes</b>"_s, .error = {}};
}

QPushButton* button(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* candidate : box->buttons()) {
        if (candidate->text() == text)
            return qobject_cast<QPushButton*>(candidate);
    }
    return nullptr;
}

} // namespace

void UpdateOfferTest::offersTheDownloadPageWithoutBlocking()
{
    lumi::test::CallJournal journal;
    lumi::test::RecordingLinkOpener links(journal);
    lumi::UpdateOffer offer(links);

    offer.offer(newer(u"3.0.0"_s));
    offer.offer(newer(u"3.1.0"_s)); // the newer offer replaces the first
    QMessageBox* box = offer.box();
    QVERIFY(box && box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->text(), u"Lumivale 3.1.0 is available"_s);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QVERIFY(button(box, u"Later"_s));
    QPushButton* download = button(box, u"Download…"_s);
    QVERIFY(download);
    download->click();
    QCOMPARE(journal.calls(), QStringList{u"links.open(https://lumivale.com/download/3.1.0)"_s});
    QTRY_VERIFY(!offer.box());
}

QTEST_MAIN(UpdateOfferTest)
#include "UpdateOfferTest.moc"
