#include "app/UpdateOffer.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingLinkOpener.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::UpdateCheck;

namespace {

/// Stands in for every program the desktop would hand a link to, so a link a label opens on its
/// own is seen too.
class LinkHandlers final : public QObject
{
    Q_OBJECT

public:
    LinkHandlers()
    {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~LinkHandlers() override
    {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private:
    const QStringList schemes{u"file"_s, u"smb"_s, u"http"_s, u"https"_s};
};

UpdateCheck newer(const QString& version, const QString& notes = u"Faster syncing."_s,
                  const QUrl& page = QUrl(u"https://lumivale.com/download/"_s))
{
    return UpdateCheck{.outcome = UpdateCheck::Outcome::newer,
                       .version = version,
                       .downloadPage = page.resolved(QUrl(version)),
                       .releaseNotes = notes,
                       .error = {}};
}

QLabel* labelShowing(QWidget* dialog, const QString& text)
{
    const QList<QLabel*> labels = dialog->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->isVisible() && label->text() == text)
            return label;
    }
    return nullptr;
}

} // namespace

class UpdateOfferTest final : public QObject
{
    Q_OBJECT

private slots:
    void offersTheDownloadPageWithoutBlocking();
    void notesAreTextWithoutLinks_data();
    void notesAreTextWithoutLinks();
    void downloadOpensOnlyASecurePage_data();
    void downloadOpensOnlyASecurePage();
};

void UpdateOfferTest::offersTheDownloadPageWithoutBlocking()
{
    lumi::test::CallJournal journal;
    lumi::test::RecordingLinkOpener links(journal);
    lumi::UpdateOffer offer(links);

    offer.offer(newer(u"3.0.0"_s));
    offer.offer(newer(u"3.1.0"_s)); // the newer offer replaces the first
    QDialog* dialog = offer.dialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QVERIFY(labelShowing(dialog, u"Lumivale 3.1.0 is available"_s));
    QVERIFY(labelShowing(dialog, u"Faster syncing."_s));
    QVERIFY(dialog->findChild<QPushButton*>(u"update.later"_s));
    QPushButton* download = dialog->findChild<QPushButton*>(u"update.download"_s);
    QVERIFY(download);
    QCOMPARE(download->text(), u"Download…"_s);
    QVERIFY(download->isDefault());
    download->click();
    QCOMPARE(journal.calls(), QStringList{u"links.open(https://lumivale.com/download/3.1.0)"_s});
    QTRY_VERIFY(!offer.dialog());
}

void UpdateOfferTest::notesAreTextWithoutLinks_data()
{
    QTest::addColumn<QString>("notes");

    QTest::newRow("a link to a local file") << u"<a href=\"file:///etc/passwd\">What's new in 3.1</a>"_s;
    QTest::newRow("a link to a network share")
        << u"<a href=\"smb://files.example/share\">What's new in 3.1</a>"_s;
    QTest::newRow("markup") << u"<b>What's new</b><br><i>in 3.1</i>"_s;
}

void UpdateOfferTest::notesAreTextWithoutLinks()
{
    QFETCH(QString, notes);

    lumi::test::CallJournal journal;
    lumi::test::RecordingLinkOpener links(journal);
    LinkHandlers handlers;
    lumi::UpdateOffer offer(links);
    offer.offer(newer(u"3.1.0"_s, notes));
    QDialog* dialog = offer.dialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    // The user sees the text as it came, tags and all, and a click on it goes nowhere.
    QLabel* label = labelShowing(dialog, notes);
    QVERIFY(label);
    const QRect text = label->contentsRect();
    const QPoint onTheFirstWords(text.left() + label->fontMetrics().horizontalAdvance(u"What"_s),
                                 text.top() + label->fontMetrics().height() / 2);
    QTest::mouseClick(label, Qt::LeftButton, {}, onTheFirstWords);
    QTest::qWait(0);
    QCOMPARE(handlers.opened, QList<QUrl>{});
    QCOMPARE(journal.calls(), QStringList{});
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void UpdateOfferTest::downloadOpensOnlyASecurePage_data()
{
    QTest::addColumn<QUrl>("page");
    QTest::addColumn<bool>("opened");

    QTest::newRow("https") << QUrl(u"https://lumivale.com/download/"_s) << true;
    QTest::newRow("http to this machine") << QUrl(u"http://127.0.0.1:8080/download/"_s) << true;
    QTest::newRow("http elsewhere") << QUrl(u"http://lumivale.example/download/"_s) << false;
    QTest::newRow("a local file") << QUrl(u"file:///etc/"_s) << false;
    QTest::newRow("a network share") << QUrl(u"smb://files.example/share/"_s) << false;
}

void UpdateOfferTest::downloadOpensOnlyASecurePage()
{
    QFETCH(QUrl, page);
    QFETCH(bool, opened);

    lumi::test::CallJournal journal;
    lumi::test::RecordingLinkOpener links(journal);
    lumi::UpdateOffer offer(links);
    offer.offer(newer(u"3.1.0"_s, u"Faster syncing."_s, page));
    QTest::mouseClick(offer.dialog()->findChild<QPushButton*>(u"update.download"_s), Qt::LeftButton);

    const QUrl full = page.resolved(QUrl(u"3.1.0"_s));
    QCOMPARE(journal.calls(),
             opened ? QStringList{u"links.open("_s + full.toString() + u')'} : QStringList{});
    QTRY_VERIFY(!offer.dialog());
}

QTEST_MAIN(UpdateOfferTest)
#include "UpdateOfferTest.moc"
