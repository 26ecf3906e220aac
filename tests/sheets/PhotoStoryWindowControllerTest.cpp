#include "sheets/PhotoStoryWindowController.h"
#include "sheets/PhotoStoryView.h"
#include "support/ReviewGrab.h"
#include "support/state/ModelHarness.h"
#include "widgets/Palette.h"
#include "widgets/PictureFrame.h"

#include <QApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using lumi::Medium;
using lumi::PhotoLocation;
using lumi::PhotoStoryView;
using lumi::PhotoStoryWindowController;
using lumi::PlaceQuery;
using lumi::test::ModelHarness;

Q_DECLARE_METATYPE(lumi::Medium)

namespace {

const PhotoLocation inNice{PhotoLocation::Named{u"France"_s, u"fr"_s},
                           PhotoLocation::Named{u"Provence"_s, u"provence"_s},
                           PhotoLocation::Named{u"Nice"_s, u"nice"_s}};
const PhotoLocation inFrance{PhotoLocation::Named{u"France"_s, u"fr"_s}, std::nullopt, std::nullopt};
const PhotoLocation provenceAlone{std::nullopt, PhotoLocation::Named{u"Provence"_s, u"provence"_s},
                                  std::nullopt};

// Upper case on purpose: the short id the service is asked for is lower case.
Medium given(std::optional<QString> description, std::optional<PhotoLocation> location)
{
    return Medium{.uuid = u"ABCDEF12-3456-7890-ABCD-EF1234567890"_s,
                  .title = u"<b>Given</b> title"_s,
                  .description = std::move(description),
                  .location = std::move(location)};
}

} // namespace

class PhotoStoryWindowControllerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsTheStory_data();
    void showsTheStory();
    void placeLinkOpensTheBrowser();
    void reopeningReplacesTheContentInPlace();
    void aLateAnswerForAReplacedPhotoIsDropped();
    void showsTheCatalogPicture();
    void keysCloseTheWindow_data();
    void keysCloseTheWindow();

private:
    bool answerWith(const QJsonObject& body, int delayMs = 0);
    QStringList storyRequests();
    QString text(const QString& name);
    PhotoStoryView* waitForStory();

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PhotoStoryWindowController> m_stories;
};

void PhotoStoryWindowControllerTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->launchSignedIn();
    m_stories = std::make_unique<PhotoStoryWindowController>(m_harness->api, m_harness->guidance(),
                                                             m_harness->window);
}

void PhotoStoryWindowControllerTest::cleanup()
{
    m_stories.reset();
    m_harness.reset();
}

bool PhotoStoryWindowControllerTest::answerWith(const QJsonObject& body, int delayMs)
{
    return m_harness->sandbox.addFault({{u"method"_s, u"GET"_s},
                                        {u"path"_s, u"/api/v6/media/photo"_s},
                                        {u"status"_s, 200},
                                        {u"body"_s, QString::fromUtf8(QJsonDocument(body).toJson())},
                                        {u"delayMs"_s, delayMs},
                                        {u"times"_s, 1}});
}

QStringList PhotoStoryWindowControllerTest::storyRequests()
{
    return m_harness->requestLines().filter(u"/media/photo"_s);
}

QString PhotoStoryWindowControllerTest::text(const QString& name)
{
    auto* label = m_stories->view()->findChild<QLabel*>(name);
    if (!label)
        return u"none"_s;
    // Service texts never turn into markup.
    return label->textFormat() == Qt::PlainText ? label->text() : u"rich text"_s;
}

PhotoStoryView* PhotoStoryWindowControllerTest::waitForStory()
{
    PhotoStoryView* view = m_stories->view();
    if (!view || !QTest::qWaitFor([view] { return !view->isLoading(); }))
        return nullptr;
    return view;
}

void PhotoStoryWindowControllerTest::showsTheStory_data()
{
    QTest::addColumn<Medium>("photo");
    QTest::addColumn<QVariant>("answer"); // the body of GET media/photo; a number is a failing status
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("story");

    const QString noStory = u"No story available for this photo."_s;
    const Medium fetched{.uuid = u"abcdef12-3456-7890-abcd-ef1234567890"_s,
                         .title = u"Fetched title"_s,
                         .channelTitle = u"Fetched channel"_s,
                         .location = inNice};
    Medium fetchedStory = fetched;
    fetchedStory.description = u"Fetched story"_s;
    fetchedStory.location.reset();
    Medium regionOnly = fetchedStory;
    regionOnly.location = provenceAlone;

    QTest::newRow("described and located: nothing asked")
        << given(u"Own story"_s, inFrance) << QVariant() << false << u"<b>Given</b> title"_s << u"none"_s
        << u"More from France"_s << u"Own story"_s;
    QTest::newRow("no location: asked; the given story stands in for a missing one")
        << given(u"Own story"_s, std::nullopt) << QVariant(QJsonObject{{u"medium"_s, fetched.toJson()}})
        << true << u"Fetched title"_s << u"Fetched channel"_s << u"More from Nice"_s << u"Own story"_s;
    QTest::newRow("located nowhere: no link")
        << given(std::nullopt, std::nullopt) << QVariant(QJsonObject{{u"medium"_s, fetchedStory.toJson()}})
        << true << u"Fetched title"_s << u"Fetched channel"_s << u"none"_s << u"Fetched story"_s;
    QTest::newRow("a region alone: no link")
        << given(std::nullopt, std::nullopt) << QVariant(QJsonObject{{u"medium"_s, regionOnly.toJson()}})
        << true << u"Fetched title"_s << u"Fetched channel"_s << u"none"_s << u"Fetched story"_s;
    QTest::newRow("an empty story is asked for; no medium in the answer")
        << given(u""_s, inNice) << QVariant(QJsonObject()) << true << u"<b>Given</b> title"_s << u"none"_s
        << u"More from Nice"_s << noStory;
    QTest::newRow("the service fails: the photo as given")
        << given(u"Own story"_s, std::nullopt) << QVariant(500) << true << u"<b>Given</b> title"_s
        << u"none"_s << u"none"_s << u"Own story"_s;
}

void PhotoStoryWindowControllerTest::showsTheStory()
{
    QFETCH(Medium, photo);
    QFETCH(QVariant, answer);
    QFETCH(bool, asked);
    QFETCH(QString, title);
    QFETCH(QString, channel);
    QFETCH(QString, link);
    QFETCH(QString, story);

    if (answer.typeId() == QMetaType::Int)
        QVERIFY(m_harness->sandbox.addFault(
            {{u"path"_s, u"/api/v6/media/photo"_s}, {u"status"_s, answer.toInt()}}));
    else if (answer.isValid())
        QVERIFY(answerWith(answer.toJsonObject()));
    m_stories->showStory(photo);
    QVERIFY(m_stories->view());
    if (asked)
        QVERIFY(m_stories->view()->findChild<QProgressBar*>(u"story.loading"_s));
    PhotoStoryView* view = waitForStory();
    QVERIFY(view);
    QVERIFY(!view->findChild<QProgressBar*>(u"story.loading"_s));

    QCOMPARE(storyRequests(), asked ? QStringList{u"GET /media/photo?prefix=abcdef12"_s} : QStringList());
    QCOMPARE(text(u"story.title"_s), title);
    QCOMPARE(text(u"story.channel"_s), channel);
    auto* place = view->findChild<QPushButton*>(u"story.place"_s);
    QCOMPARE(place ? place->text() : u"none"_s, link);
    QCOMPARE(text(u"story.text"_s), story);
}

void PhotoStoryWindowControllerTest::placeLinkOpensTheBrowser()
{
    m_stories->showStory(given(u"Own story"_s, inFrance));
    PhotoStoryView* view = waitForStory();
    QVERIFY(view);
    QTest::mouseClick(view->findChild<QPushButton*>(u"story.place"_s), Qt::LeftButton);
    QCOMPARE(m_harness->guidance().showPlaceRequested(),
             std::optional<PlaceQuery>(PlaceQuery{u"fr"_s, std::nullopt, std::nullopt}));
    QCOMPARE(m_harness->journal.calls().filter(u"window."_s), QStringList{u"window.show"_s});
    // The story stays open.
    QVERIFY(m_stories->window()->isVisible());
}

void PhotoStoryWindowControllerTest::reopeningReplacesTheContentInPlace()
{
    m_stories->showStory(given(u"First story"_s, inFrance));
    const QPointer<QWidget> window = m_stories->window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), u"Photo Story"_s);
    QCOMPARE(window->size(), PhotoStoryView::fixedSize);
    QCOMPARE(window->palette().color(QPalette::Window), lumi::Palette::widgets().color(QPalette::Window));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Within the rounding of a window manager's placement.
    QVERIFY((window->frameGeometry().center() - area.center()).manhattanLength() <= 4);

    window->move(area.topLeft() + QPoint(30, 40));
    const QPoint moved = window->pos();
    QVERIFY(answerWith({}, 300));
    Medium second = given(std::nullopt, std::nullopt);
    second.title = u"Second"_s;
    m_stories->showStory(second);
    QCOMPARE(m_stories->window(), window.data());
    QCOMPARE(window->pos(), moved);
    QVERIFY(m_stories->view()->isLoading());
    QVERIFY(waitForStory());
    QCOMPARE(text(u"story.title"_s), u"Second"_s);
    QCOMPARE(window->findChildren<PhotoStoryView*>().size(), 1);

    QVERIFY(window->close());
    QTRY_VERIFY(!window);
    QCOMPARE(m_stories->window(), nullptr);
    m_stories->showStory(given(u"Third story"_s, inFrance));
    QVERIFY(m_stories->window());
    QVERIFY((m_stories->window()->frameGeometry().center() - area.center()).manhattanLength() <= 4);
    QCOMPARE(text(u"story.text"_s), u"Third story"_s);
}

void PhotoStoryWindowControllerTest::aLateAnswerForAReplacedPhotoIsDropped()
{
    Medium first = given(std::nullopt, std::nullopt);
    Medium late = first;
    late.title = u"Late"_s;
    late.description = u"Late story"_s;
    QVERIFY(answerWith({{u"medium"_s, late.toJson()}}, 500));
    const QSignalSpy answers(&m_harness->api, &lumi::APIClient::answered);
    m_stories->showStory(first);
    QVERIFY(m_stories->view()->isLoading());
    Medium second = given(u"Second story"_s, inFrance);
    second.title = u"Second"_s;
    m_stories->showStory(second);

    QTRY_COMPARE(storyRequests().size(), 1);
    QVERIFY(m_harness->settle());
    // The late answer has come, and whatever it led to has run with it.
    QTRY_COMPARE(answers.size(), 1);
    QCOMPARE(text(u"story.title"_s), u"Second"_s);
    QCOMPARE(text(u"story.text"_s), u"Second story"_s);
}

void PhotoStoryWindowControllerTest::showsTheCatalogPicture()
{
    // A located photo, asked for without its story, as a listing gives it.
    Medium photo;
    for (const Medium& listed : m_harness->catalogPhotos(60)) {
        if (listed.location && listed.location->placeQuery())
            photo = listed;
    }
    QVERIFY(photo.secureBaseUrl);
    photo.description.reset();
    m_stories->showStory(photo);
    auto* picture = m_stories->view()->findChild<lumi::PictureFrame*>(u"story.picture"_s);
    QVERIFY(picture);
    m_stories->window()->grab();
    QTRY_VERIFY_WITH_TIMEOUT(!picture->picture().isNull(), 10000);
    QVERIFY(waitForStory());
    // Decoded to cover its frame, and drawn there in place of the grey.
    QVERIFY(picture->picture().width() >= 420 && picture->picture().height() >= 236);
    lumi::PictureFrame empty(QSize(420, 236), 10);
    empty.setFixedSize(420, 236);
    const QPoint middle = picture->rect().center();
    const QColor grey = empty.grab().toImage().pixelColor(middle);
    const QImage shot = m_stories->window()->grab().toImage();
    QVERIFY(shot.pixelColor(picture->mapTo(m_stories->window(), middle)) != grey);
    QVERIFY(m_stories->view()->findChild<QPushButton*>(u"story.place"_s));
    QCOMPARE(storyRequests().size(), 1);
    lumi::test::saveForReview(*m_stories->window(), u"photo-story"_s);
}

void PhotoStoryWindowControllerTest::keysCloseTheWindow_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::newRow("Escape") << QKeyCombination(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeyCombination(Qt::ControlModifier, Qt::Key_W);
}

void PhotoStoryWindowControllerTest::keysCloseTheWindow()
{
    QFETCH(QKeyCombination, keys);
    m_stories->showStory(given(u"A story"_s, inFrance));
    const QPointer<QWidget> window = m_stories->window();
    QVERIFY(window && QTest::qWaitForWindowActive(window));
    // Wherever the focus is in it, the selectable story text included.
    auto* story = m_stories->view()->findChild<QLabel*>(u"story.text"_s);
    QVERIFY(story);
    story->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    QTRY_VERIFY(!window);
    QCOMPARE(m_stories->window(), nullptr);
}

QTEST_MAIN(PhotoStoryWindowControllerTest)
#include "PhotoStoryWindowControllerTest.moc"
