#include "player/windows/GalleryView.h"

#include "model/DefaultsKeys.h"
#include "support/player/PlayerRig.h"

#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

int brightness(QRgb pixel)
{
    return std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
}

struct Rig
{
    explicit Rig(const QStringList& photos = {u"red"_s, u"lime"_s, u"blue"_s, u"yellow"_s, u"white"_s})
        : player(PlayMode::slideshow(), photos, 10),
          view(std::make_unique<GalleryView>(*player.model, player.clock, [this] { ++closed; }))
    {
        view->resize(800, 500);
        view->show();
        player.model->start(true);
        QCoreApplication::processEvents();
    }

    ~Rig() { view.reset(); }

    void advance(std::chrono::milliseconds by) { player.advance(by); }

    QToolButton* button(const QString& tip) const
    {
        for (QToolButton* candidate : view->controlBar()->findChildren<QToolButton*>()) {
            if (candidate->toolTip() == tip)
                return candidate;
        }
        return nullptr;
    }

    void hover(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view->childAt(at) ? view->childAt(at) : view.get(), &move);
    }

    test::PlayerRig player;
    std::unique_ptr<GalleryView> view;
    int closed = 0;
};

} // namespace

class GalleryViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void barShowsAtOpenAndHidesThreeSecondsAfterTheLastHover()
    {
        Rig rig;
        QVERIFY(rig.view->controlsVisible());
        const QRect bar = rig.view->controlBar()->geometry();
        QCOMPARE(bar.bottom() + 1, 500 - 34);
        QVERIFY(qAbs(bar.center().x() - 400) <= 1);

        rig.advance(2s);
        rig.hover(QPoint(100, 100));
        rig.advance(2s);
        QVERIFY(rig.view->controlsVisible());
        rig.hover(QPoint(120, 100));
        rig.advance(3s - 1ms);
        QVERIFY(rig.view->controlsVisible());
        rig.advance(1ms);
        QVERIFY(!rig.view->controlsVisible());

        // Moving again brings it back; leaving the window starts the wait again.
        rig.hover(QPoint(140, 100));
        QVERIFY(rig.view->controlsVisible());
        rig.advance(2s);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(rig.view.get(), &leave);
        rig.advance(2s);
        QVERIFY(rig.view->controlsVisible());
        rig.advance(1s);
        QVERIFY(!rig.view->controlsVisible());
    }

    void barFadesInAndOut()
    {
        Rig rig;
        const auto opacityIs = [&](qreal expected) {
            return QTest::qWaitFor([&] { return qAbs(rig.view->controlsOpacity() - expected) < 0.01; }, 1000);
        };
        // In easing out: fast first, so past half at half time; out easing in: slow first.
        QVERIFY(opacityIs(0));
        rig.advance(100ms);
        QVERIFY(opacityIs(0.685));
        rig.advance(100ms);
        QVERIFY(opacityIs(1));

        rig.advance(3s - 200ms); // the fade out starts
        QVERIFY(!rig.view->controlsVisible());
        rig.advance(200ms);
        QVERIFY(opacityIs(0.685));
        QVERIFY(rig.view->controlBar()->isVisible());
        // A hover mid-fade comes back from where the fade got to.
        rig.hover(QPoint(100, 100));
        rig.advance(100ms);
        QVERIFY(opacityIs(0.90));
        rig.advance(100ms);
        QVERIFY(opacityIs(1));
        rig.advance(3s - 200ms);
        rig.advance(400ms);
        QVERIFY(opacityIs(0));
        QTRY_VERIFY(rig.view->controlBar()->isHidden());
    }

    void playPauseFollowsTheModel()
    {
        Rig rig;
        QToolButton* pause = rig.button(u"Pause"_s);
        QVERIFY(pause);
        pause->click();
        QVERIFY(rig.player.model->isPaused());
        QCOMPARE(pause->toolTip(), u"Play"_s);
        pause->click();
        QVERIFY(!rig.player.model->isPaused());
        QCOMPARE(pause->toolTip(), u"Pause"_s);
    }

    void theModeMenuRemembersOnlyTheGalleryModes_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QVariant>("remembered");
        QTest::newRow("stories") << u"Stories"_s << QVariant(true);
        QTest::newRow("slideshow") << u"Slideshow"_s << QVariant(false);
        QTest::newRow("panner") << u"Panner"_s << QVariant(u"untouched"_s);
    }

    void theModeMenuRemembersOnlyTheGalleryModes()
    {
        QFETCH(QString, row);
        QFETCH(QVariant, remembered);
        Rig rig;
        rig.player.defaults.setValue(keys::galleryInfoShow.name, u"untouched"_s);
        QToolButton* modes = nullptr;
        for (QToolButton* candidate : rig.view->controlBar()->findChildren<QToolButton*>()) {
            if (candidate->menu())
                modes = candidate;
        }
        QVERIFY(modes);
        QCOMPARE(modes->text(), u"Slideshow"_s);
        QStringList rows;
        QAction* chosen = nullptr;
        for (QAction* action : modes->menu()->actions()) {
            rows.append(action->isSeparator() ? u"-"_s : action->text());
            if (action->text() == row)
                chosen = action;
        }
        QCOMPARE(rows, (QStringList{u"Slideshow"_s, u"Stories"_s, u"-"_s, u"Fader"_s, u"Faller"_s,
                                    u"Four-up"_s, u"Panner"_s, u"Slider"_s, u"Reflections"_s}));
        chosen->trigger();
        QCOMPARE(rig.player.model->mode().title(), row);
        QCOMPARE(modes->text(), row);
        QCOMPARE(rig.player.defaults.value(keys::galleryInfoShow.name), remembered);
    }

    void theBarIsReadableOverAWhitePhoto()
    {
        Rig rig({u"white"_s});
        rig.advance(1700ms); // the photo has faded in, the bar is still up
        QTRY_COMPARE(rig.view->controlsOpacity(), 1.0);
        QToolButton* modes = nullptr;
        for (QToolButton* candidate : rig.view->controlBar()->findChildren<QToolButton*>()) {
            if (candidate->menu())
                modes = candidate;
        }
        QVERIFY(modes);
        // After a choice from the menu, and under the pointer, the items keep their look.
        modes->menu()->actions().at(1)->trigger();
        QTRY_COMPARE(modes->text(), u"Stories"_s);

        const QPoint capsule =
            rig.view->controlBar()->mapTo(rig.view.get(), QPoint(8, rig.view->controlBar()->height() / 2));
        QVERIFY2(brightness(rig.view->grab().toImage().pixel(capsule)) < 120, "the capsule is dark");
        for (const QString& tip : {u"Previous"_s, u"Pause"_s, u"Next"_s, u"Close"_s, QString()}) {
            QToolButton* item = tip.isEmpty() ? modes : rig.button(tip);
            QVERIFY2(item, qPrintable(tip));
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(item, &enter);
            QTest::mouseMove(item);
            const QImage shot =
                rig.view->grab(QRect(item->mapTo(rig.view.get(), QPoint()), item->size())).toImage();
            int white = 0;
            int light = 0;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    white += brightness(shot.pixel(x, y)) > 230 ? 1 : 0;
                    light += brightness(shot.pixel(x, y)) > 120 ? 1 : 0;
                }
            }
            const QString name = tip.isEmpty() ? u"mode"_s : tip;
            // A white glyph on the dark capsule: no hover box, no bezel, no light panel.
            QVERIFY2(white >= 20, qPrintable(name));
            QVERIFY2(light < shot.width() * shot.height() / 2, qPrintable(name));
            QVERIFY2(brightness(shot.pixel(0, 0)) < 120, qPrintable(name));
            QVERIFY2(brightness(shot.pixel(shot.width() - 1, shot.height() - 1)) < 120, qPrintable(name));
        }
    }

    void everyNextPressStepsOnce()
    {
        Rig rig;
        QToolButton* next = rig.button(u"Next"_s);
        QVERIFY(next);
        for (int press = 0; press < 3; ++press)
            next->click();
        QCoreApplication::processEvents();
        QCOMPARE(rig.player.photos.requests, (QStringList{u"red"_s, u"lime"_s, u"blue"_s, u"yellow"_s}));
        QCOMPARE(rig.player.model->current()->medium.uuid, u"yellow"_s);
        rig.button(u"Previous"_s)->click();
        QCoreApplication::processEvents();
        QCOMPARE(rig.player.model->current()->medium.uuid, u"blue"_s);

        rig.button(u"Close"_s)->click();
        QCOMPARE(rig.closed, 1);
    }
};

} // namespace lumi

QTEST_MAIN(lumi::GalleryViewTest)
#include "GalleryViewTest.moc"
