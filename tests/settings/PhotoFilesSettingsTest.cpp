#include "settings/PhotoFilesSettings.h"
#include "support/settings/SettingsRig.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::PhotoFilesSettings;
using lumi::test::ModelHarness;
using lumi::test::SettingsRig;

class PhotoFilesSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void progressFollowsARunningPass_data();
    void progressFollowsARunningPass();
};

void PhotoFilesSettingsTest::progressFollowsARunningPass_data()
{
    QTest::addColumn<QString>("button");

    QTest::newRow("clear files") << u"photoFiles.clear"_s;
    QTest::newRow("resize photos") << u"photoFiles.resize"_s;
}

void PhotoFilesSettingsTest::progressFollowsARunningPass()
{
    QFETCH(QString, button);

    ModelHarness h;
    h.launchSignedIn();
    SettingsRig rig(h);
    lumi::PlaylistSync& sync = rig.sync();
    PhotoFilesSettings pane(h.model(), h.playlists(), sync);
    pane.show();
    auto* progress = pane.findChild<QLabel*>(u"photoFiles.progress"_s);
    QVERIFY(!progress->isVisible());

    pane.findChild<QPushButton*>(button)->click();
    QTRY_VERIFY(sync.isSyncing());
    QStringList seen;
    for (int second = 0; second < 600 && sync.isSyncing(); ++second) {
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->text(), u"Syncing photos: %1 of %2"_s.arg(sync.done()).arg(sync.total()));
        if (!seen.contains(progress->text()))
            seen.append(progress->text());
        h.clock.advance(std::chrono::seconds(1));
        QTest::qWait(5);
    }
    QTRY_VERIFY(!sync.isSyncing());
    QVERIFY(!progress->isVisible());
    // The row went along with the pass, not just its first and last figures.
    QVERIFY2(seen.size() > 2, qPrintable(seen.join(u" | "_s)));
}

QTEST_MAIN(PhotoFilesSettingsTest)
#include "PhotoFilesSettingsTest.moc"
