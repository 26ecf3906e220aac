#include "settings/WallpaperSettings.h"
#include "support/settings/SettingsRig.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"
#include "wallpaper/RotationQueue.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::Medium;
using lumi::RotationEngine;
using lumi::RotationQueue;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SettingsRig;

namespace {

bool change(RotationEngine& engine)
{
    std::optional<bool> changed;
    return !runTask(engine.changeWallpaper(true), changed) && changed.value_or(false);
}

} // namespace

/// The wallpaper pane driving the real rotation engine of the signed-in demo account (24 photos
/// in its wallpaper playlist), with the real wallpaper service behind a fake setter.
class WallpaperSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void shuffleTakesEffectAtTheNextChange_data();
    void shuffleTakesEffectAtTheNextChange();
};

void WallpaperSettingsTest::shuffleTakesEffectAtTheNextChange_data()
{
    QTest::addColumn<bool>("shuffledBefore");
    QTest::newRow("turned off") << true;
    QTest::newRow("turned on") << false;
}

void WallpaperSettingsTest::shuffleTakesEffectAtTheNextChange()
{
    QFETCH(bool, shuffledBefore);

    ModelHarness h;
    const QString token = h.leaveSession(lumi::test::SandboxFixture::demoEmail,
                                         lumi::test::SandboxFixture::demoPassword, false);
    h.sandbox.call("PUT", u"users"_s, token, {{u"user"_s, QJsonObject{{u"paper_random"_s, shuffledBefore}}}});
    AppModel& model = h.launchSignedIn();
    SettingsRig rig(h);
    RotationEngine& engine = rig.services().engine;
    lumi::WallpaperSettings pane(model, model.account(), h.settings(), engine);
    auto* shuffle = pane.findChild<QCheckBox*>(u"wallpaper.shuffle"_s);
    QVERIFY(shuffle);
    QCOMPARE(shuffle->isChecked(), shuffledBefore);

    // Two changes into a pass through the pool in the old order.
    for (int i = 0; i < 2; ++i)
        QVERIFY2(change(engine), qPrintable(engine.lastError().value_or(QString())));
    const qsizetype poolSize = engine.pool().photos().size();
    QCOMPARE(poolSize, 24);
    QCOMPARE(engine.pool().queued().size(), poolSize - 2);
    const Medium before = *engine.nowShowing();

    h.sandbox.clearRequests();
    h.rotation.setPoolKey(u"built"_s);
    shuffle->click();
    // The pane's change runs on its own: done once the model asks the rotation to rebuild its pool.
    QTRY_COMPARE(h.rotation.poolKey(), QString());
    QCOMPARE(model.account().user()->paperRandom, std::optional(!shuffledBefore));
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests(u"PUT"_s, u"users"_s).first()),
             (QJsonObject{{u"user"_s, QJsonObject{{u"paper_random"_s, !shuffledBefore}}}}));

    QVERIFY2(change(engine), qPrintable(engine.lastError().value_or(QString())));
    // A new pass began with this change, in the new order.
    QCOMPARE(engine.pool().queued().size(), poolSize - 1);
    if (shuffledBefore)
        QCOMPARE(engine.nowShowing()->uuid,
                 RotationQueue::titleOrder(engine.pool().photos(), before).first().uuid);
}

QTEST_MAIN(WallpaperSettingsTest)
#include "WallpaperSettingsTest.moc"
