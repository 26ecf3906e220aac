#include "model/PlayMode.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

class PlayModeTest final : public QObject
{
    Q_OBJECT

private slots:
    void titleNamesWhatPlays_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<QString>("title");
        QTest::newRow("slideshow") << PlayMode::slideshow() << u"Slideshow"_s;
        QTest::newRow("stories") << PlayMode::infoshow() << u"Stories"_s;
        QTest::newRow("panner") << PlayMode::saver(SaverEffect::kber) << u"Panner"_s;
        QTest::newRow("four-up") << PlayMode::saver(SaverEffect::fourup) << u"Four-up"_s;
    }

    void titleNamesWhatPlays()
    {
        QFETCH(PlayMode, mode);
        QFETCH(QString, title);
        QCOMPARE(mode.title(), title);
    }
};

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlayModeTest)
#include "PlayModeTest.moc"
