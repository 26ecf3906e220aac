#include "platform/linux/DeferredWallpaperSetter.h"
#include "support/FakeWallpaperSetter.h"

#include <QCoroSignal>
#include <QTest>

#include <memory>
#include <optional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

/// Holds the choice back until the test opens it.
class Gate final : public QObject
{
    Q_OBJECT

signals:
    void opened();
};

QCoro::Task<std::unique_ptr<WallpaperSetter>>
chooseWhenOpen(Gate& gate, std::unique_ptr<WallpaperSetter> setter, bool fail)
{
    co_await qCoro(&gate, &Gate::opened);
    if (fail)
        throw std::runtime_error("the bus went away");
    co_return setter;
}

QCoro::Task<void> setInto(WallpaperSetter& setter, QString file, std::optional<WallpaperSetResult>& result)
{
    DisplayInfo display;
    display.name = u"LEFT"_s;
    result = co_await setter.setWallpaper(WallpaperRequest{display, std::move(file)});
}

} // namespace

class DeferredWallpaperSetterTest final : public QObject
{
    Q_OBJECT

private slots:
    void picturesAskedForEarlyWaitForTheChoice();
    void aFailedChoiceFailsThePicturesInsteadOfHangingThem();
    void aChangeReachesTheChosenSetterWhole_data();
    void aChangeReachesTheChosenSetterWhole();
};

void DeferredWallpaperSetterTest::picturesAskedForEarlyWaitForTheChoice()
{
    Gate gate;
    auto fake = std::make_unique<test::FakeWallpaperSetter>();
    test::FakeWallpaperSetter& chosen = *fake;
    DeferredWallpaperSetter setter(chooseWhenOpen(gate, std::move(fake), false));

    std::optional<WallpaperSetResult> result;
    setInto(setter, u"/tmp/a.jpg"_s, result);
    QCoreApplication::processEvents();
    QVERIFY(!setter.isDecided());
    QVERIFY(!result);
    QVERIFY(setter.filesInUse().isEmpty());

    emit gate.opened();
    QTRY_VERIFY(result.has_value());
    QVERIFY(result->ok());
    QCOMPARE(chosen.shownOn(u"LEFT"_s), u"/tmp/a.jpg"_s);
    QCOMPARE(setter.filesInUse(), QStringList{u"/tmp/a.jpg"_s});
    QCOMPARE(setter.name(), u"fake"_s);

    // Once chosen, pictures go straight through.
    result.reset();
    setInto(setter, u"/tmp/b.jpg"_s, result);
    QVERIFY(result && result->ok());
    QCOMPARE(chosen.shownOn(u"LEFT"_s), u"/tmp/b.jpg"_s);
}

void DeferredWallpaperSetterTest::aFailedChoiceFailsThePicturesInsteadOfHangingThem()
{
    Gate gate;
    DeferredWallpaperSetter setter(chooseWhenOpen(gate, nullptr, true));
    std::optional<WallpaperSetResult> result;
    setInto(setter, u"/tmp/a.jpg"_s, result);

    emit gate.opened();
    QTRY_VERIFY(result.has_value());
    QVERIFY(!result->ok());
    QVERIFY(result->error().contains(u"no way of setting the wallpaper"_s));
    QVERIFY(setter.filesInUse().isEmpty());
}

void DeferredWallpaperSetterTest::aChangeReachesTheChosenSetterWhole_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("a setter chosen") << true;
    QTest::newRow("none found") << false;
}

void DeferredWallpaperSetterTest::aChangeReachesTheChosenSetterWhole()
{
    QFETCH(bool, chosen);

    Gate gate;
    auto fake = std::make_unique<test::FakeWallpaperSetter>();
    test::FakeWallpaperSetter& real = *fake;
    real.wholeChanges = true;
    DeferredWallpaperSetter setter(chooseWhenOpen(gate, chosen ? std::move(fake) : nullptr, !chosen));
    // Until the choice is made a change waits whole, as a spanning desktop needs it.
    QVERIFY(setter.wantsWholeChanges());
    DisplayInfo left;
    left.name = u"LEFT"_s;
    DisplayInfo right;
    right.name = u"RIGHT"_s;
    std::optional<QList<WallpaperSetResult>> results;
    auto change = [](WallpaperSetter& setter, QList<WallpaperRequest> requests,
                     std::optional<QList<WallpaperSetResult>>& results) -> QCoro::Task<void> {
        results = co_await setter.setWallpapers(std::move(requests));
    };
    change(setter, {WallpaperRequest{left, u"/tmp/l.jpg"_s}, WallpaperRequest{right, u"/tmp/r.jpg"_s}},
           results);

    emit gate.opened();
    QTRY_VERIFY(results.has_value());
    QCOMPARE(results->size(), 2);
    for (const WallpaperSetResult& result : *results)
        QCOMPARE(result.ok(), chosen);
    // A desktop that spans one picture over both must see them together.
    QVERIFY(setter.wantsWholeChanges());
    if (chosen) {
        QCOMPARE(real.changes(), QList<qsizetype>{2});
        real.wholeChanges = false;
        QVERIFY(!setter.wantsWholeChanges());
    }
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DeferredWallpaperSetterTest)

#include "DeferredWallpaperSetterTest.moc"
