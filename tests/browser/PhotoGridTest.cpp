#include "browser/PhotoGrid.h"
#include "support/FakeScreens.h"
#include "support/browser/RecordingPhotoSheets.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::GridColumns;
using lumi::Medium;
using lumi::PhotoCell;
using lumi::PhotoGrid;
using lumi::Source;
using lumi::ThumbnailLoader;
using lumi::test::FakeScreens;
using lumi::test::ModelHarness;
using lumi::test::RecordingPhotoSheets;
using lumi::test::RecordingRevealer;

namespace {

// A signed-in model and a shown 1280×800 grid of one source, its first page loaded.
struct GridRig
{
    explicit GridRig(std::function<Source(ModelHarness&)> source,
                     GridColumns columns = GridColumns::automatic,
                     qint64 thumbnailBytes = ThumbnailLoader::defaultMaxBytes)
        : thumbnails(harness.api.network(), thumbnailBytes)
    {
        harness.launchSignedIn();
        grid = std::make_unique<PhotoGrid>(lumi::GridServices{harness.model(), harness.catalog(),
                                                              harness.playlists(), harness.guidance(),
                                                              harness.defaults, screens, harness.links,
                                                              revealer, sheets, thumbnails, harness.clock},
                                           source(harness), columns);
        grid->resize(1280, 800);
        grid->show();
        loaded();
    }

    static Source mornings(ModelHarness& h)
    {
        return Source{Source::Album{int(h.album(u"mountain-mornings"_s).id)}};
    }
    static Source latest(ModelHarness&) { return Source::latest(); }

    void loaded() { QTRY_VERIFY_WITH_TIMEOUT(!grid->isLoading(), 10000); }

    PhotoCell* tile(const QString& uuid) const
    {
        for (PhotoCell* cell : grid->viewport()->findChildren<PhotoCell*>()) {
            if (cell->isVisible() && cell->shown().medium.uuid == uuid)
                return cell;
        }
        return nullptr;
    }

    void click(qsizetype index, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        PhotoCell* cell = tile(grid->media().at(index).uuid);
        QVERIFY(cell);
        QTest::mouseClick(cell, Qt::LeftButton, modifiers, QPoint(cell->width() / 2, 20));
    }

    QList<qsizetype> drawnSelected() const
    {
        QList<qsizetype> indexes;
        for (qsizetype i = 0; i < grid->media().size(); ++i) {
            if (PhotoCell* cell = tile(grid->media().at(i).uuid); cell && cell->shown().selected)
                indexes.append(i);
        }
        return indexes;
    }

    /// Whether every tile in view draws its own photo: the middle of its picture as drawn is the
    /// picture's middle.
    bool tilesInViewDrawTheirPhotos() const
    {
        const QRect view = grid->viewport()->rect();
        for (PhotoCell* cell : grid->viewport()->findChildren<PhotoCell*>()) {
            const QRect picture = cell->pictureRect();
            if (!cell->isVisible() ||
                !view.contains(QRect(cell->mapTo(grid->viewport(), picture.topLeft()), picture.size())))
                continue;
            if (cell->picture().isNull() || cell->grab(picture).toImage().pixel(picture.center()) !=
                                                cell->picture().pixel(picture.center()))
                return false;
        }
        return true;
    }

    QMessageBox* confirmation() const { return grid->findChild<QMessageBox*>(u"grid.confirmRemove"_s); }

    ModelHarness harness;
    FakeScreens screens{{FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080))}};
    RecordingPhotoSheets sheets;
    RecordingRevealer revealer;
    ThumbnailLoader thumbnails;
    std::unique_ptr<PhotoGrid> grid;
};

QString placeholderTitle(const PhotoGrid& grid)
{
    auto* title = grid.findChild<QLabel*>(u"grid.placeholder.title"_s);
    return title && title->isVisibleTo(&grid) ? title->text() : QString();
}

bool sendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QSpontaneKeyEvent::setSpontaneous(&press);
    QApplication::sendEvent(widget, &press);
    return press.isAccepted();
}

} // namespace

class PhotoGridTest final : public QObject
{
    Q_OBJECT

private slots:
    void marksOnlyInPlaylists();
    void selectAllIsAPlaylistCommand();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void aPartialRemovalSaysWhatWasLeft();
    void aNewerToastStaysItsFullTime();
    void showsWhyItIsEmpty();
    void failureOffersTryAgain();
    void asksForTheNextPageAtTheEnd();
    void showsThumbnailsWhateverTheCacheHolds_data();
    void showsThumbnailsWhateverTheCacheHolds();
};

void PhotoGridTest::marksOnlyInPlaylists()
{
    GridRig playlist(&GridRig::mornings);
    playlist.click(1);
    playlist.click(3, Qt::ShiftModifier);
    playlist.click(6, Qt::ControlModifier);
    QCOMPARE(playlist.drawnSelected(), (QList<qsizetype>{1, 2, 3, 6}));
    QCOMPARE(playlist.grid->selected(), std::optional<Medium>(playlist.grid->media().at(6)));
    QVERIFY(playlist.grid->hasFocus());

    QTest::keyClick(playlist.grid.get(), Qt::Key_Escape);
    QVERIFY(playlist.drawnSelected().isEmpty());
    QCOMPARE(playlist.grid->selected(), std::optional<Medium>(playlist.grid->media().at(6)));

    // A catalog listing draws the selected photo only, whatever the modifiers.
    GridRig listing(&GridRig::latest);
    listing.click(1);
    listing.click(3, Qt::ShiftModifier);
    QCOMPARE(listing.drawnSelected(), QList<qsizetype>{3});
    QVERIFY(listing.grid->marks().marked().isEmpty());
}

void PhotoGridTest::selectAllIsAPlaylistCommand()
{
    GridRig playlist(&GridRig::mornings);
    playlist.grid->setFocus();
    QVERIFY(sendKey(playlist.grid.get(), Qt::Key_A, Qt::ControlModifier));
    QCOMPARE(playlist.grid->marks().marked().size(), 24);

    GridRig listing(&GridRig::latest);
    // Passed on to whoever else handles Ctrl+A.
    QVERIFY(!sendKey(listing.grid.get(), Qt::Key_A, Qt::ControlModifier));
    QVERIFY(listing.grid->marks().marked().isEmpty());
}

void PhotoGridTest::deleteAsksFirst_data()
{
    QTest::addColumn<int>("marks");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("question"); // empty: no dialog
    QTest::addColumn<int>("left");

    QTest::newRow("nothing marked") << 0 << false << QString() << 24;
    QTest::newRow("one marked") << 1 << false << u"Remove 1 photo from this playlist?"_s << 23;
    QTest::newRow("three marked") << 3 << false << u"Remove 3 photos from this playlist?"_s << 21;
    QTest::newRow("shift removes at once") << 3 << true << QString() << 21;
}

void PhotoGridTest::deleteAsksFirst()
{
    QFETCH(int, marks);
    QFETCH(bool, shift);
    QFETCH(QString, question);
    QFETCH(int, left);

    GridRig rig(&GridRig::mornings);
    for (int i = 0; i < marks; ++i)
        rig.click(i, i ? Qt::ControlModifier : Qt::NoModifier);
    QTest::keyClick(rig.grid.get(), Qt::Key_Delete, shift ? Qt::ShiftModifier : Qt::NoModifier);
    if (question.isEmpty()) {
        QVERIFY(!rig.confirmation());
    } else {
        QVERIFY(rig.confirmation());
        QCOMPARE(rig.confirmation()->text(), question);
        for (QAbstractButton* button : rig.confirmation()->buttons()) {
            if (button->text() == u"Remove"_s)
                button->click();
        }
    }
    QTRY_COMPARE(rig.grid->media().size(), qsizetype(left));
    QCOMPARE(rig.grid->marks().marked().size(), 0);
}

void PhotoGridTest::aPartialRemovalSaysWhatWasLeft()
{
    GridRig rig(&GridRig::mornings);
    // Three removals go through, then the service refuses.
    rig.harness.sandbox.addFault(QJsonObject{
        {u"method"_s, u"DELETE"_s}, {u"path"_s, u"/api/v6/albums"_s}, {u"delayMs"_s, 1}, {u"times"_s, 3}});
    rig.harness.sandbox.addFault(
        QJsonObject{{u"method"_s, u"DELETE"_s}, {u"path"_s, u"/api/v6/albums"_s}, {u"status"_s, 500}});
    const QList<Medium> five = rig.grid->media().mid(0, 5);
    for (int i = 0; i < 5; ++i)
        rig.click(i, i ? Qt::ControlModifier : Qt::NoModifier);
    QTest::keyClick(rig.grid.get(), Qt::Key_Delete, Qt::ShiftModifier);
    QTRY_COMPARE(rig.grid->toast(), u"Couldn't remove 2 of them. Try again."_s);
    QCOMPARE(rig.grid->media().mid(0, 2), five.mid(3));
    // The two left stay marked.
    QCOMPARE(rig.grid->marks().markedMedia(rig.grid->media()), five.mid(3));
}

void PhotoGridTest::aNewerToastStaysItsFullTime()
{
    GridRig rig(&GridRig::latest);
    rig.grid->notify(u"Set as your wallpaper"_s);
    QVERIFY(rig.harness.advance(std::chrono::seconds(1)));
    rig.grid->notify(u"Added to Editor's Picks"_s);
    QCOMPARE(rig.grid->toast(), u"Added to Editor's Picks"_s);
    QVERIFY(rig.harness.advance(std::chrono::milliseconds(1500)));
    QCOMPARE(rig.grid->toast(), u"Added to Editor's Picks"_s);
    QVERIFY(rig.harness.advance(std::chrono::milliseconds(600)));
    QTRY_COMPARE(rig.grid->toast(), QString());
}

void PhotoGridTest::showsWhyItIsEmpty()
{
    GridRig unknown([](ModelHarness&) { return Source{Source::Album{999}}; });
    QCOMPARE(placeholderTitle(*unknown.grid), u"Nothing here"_s);
    QVERIFY(unknown.harness.requestLines().filter(u"/media/"_s).isEmpty());

    GridRig empty([](ModelHarness& h) {
        std::optional<std::optional<Album>> made;
        lumi::test::runTask(h.playlists().createPlaylist(u"Empty"_s), made);
        return Source{Source::Album{int((*made)->id)}};
    });
    QCOMPARE(placeholderTitle(*empty.grid), u"No photos yet"_s);

    GridRig full(&GridRig::mornings);
    QCOMPARE(placeholderTitle(*full.grid), QString());
}

void PhotoGridTest::failureOffersTryAgain()
{
    // The fault is in place before the grid's first request.
    GridRig rig([](ModelHarness& h) {
        h.sandbox.addFault(
            QJsonObject{{u"path"_s, u"/api/v6/media/classic/latest"_s}, {u"status"_s, 500}, {u"times"_s, 1}});
        return Source::latest();
    });
    QCOMPARE(placeholderTitle(*rig.grid), u"Couldn't load photos"_s);
    rig.grid->findChild<QPushButton*>(u"grid.placeholder.retry"_s)->click();
    rig.loaded();
    QCOMPARE(rig.grid->media().size(), 60);
    QCOMPARE(placeholderTitle(*rig.grid), QString());
}

void PhotoGridTest::asksForTheNextPageAtTheEnd()
{
    GridRig rig(&GridRig::latest);
    QCOMPARE(rig.grid->media().size(), 60);
    const int aliveAtStart = rig.grid->cellCount();
    QScrollBar* bar = rig.grid->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    QCOMPARE(rig.grid->media().size(), 60);
    bar->setValue(bar->maximum());
    rig.loaded();
    QTRY_COMPARE(rig.grid->media().size(), 120);
    QCOMPARE(rig.harness.requestLines().filter(u"/media/classic/latest"_s),
             (QStringList{u"GET /media/classic/latest?page=1&per_page=60"_s,
                          u"GET /media/classic/latest?page=2&per_page=60"_s}));
    // Tiles are kept for the rows near the view only.
    QVERIFY2(rig.grid->cellCount() <= 2 * aliveAtStart, qPrintable(QString::number(rig.grid->cellCount())));
    QVERIFY(rig.grid->cellCount() < 60);
}

void PhotoGridTest::showsThumbnailsWhateverTheCacheHolds_data()
{
    QTest::addColumn<qint64>("cacheBytes");

    // A tile's picture is some 290x163 pixels of 4 bytes here.
    QTest::newRow("room for one picture") << qint64(200 * 1024);
    QTest::newRow("room for a screen") << qint64(4 * 1024 * 1024);
    QTest::newRow("the default") << ThumbnailLoader::defaultMaxBytes;
}

void PhotoGridTest::showsThumbnailsWhateverTheCacheHolds()
{
    QFETCH(qint64, cacheBytes);

    GridRig rig(&GridRig::latest, GridColumns::automatic, cacheBytes);
    const QString first = rig.grid->media().first().uuid;
    QTRY_VERIFY(rig.tilesInViewDrawTheirPhotos());
    QVERIFY(rig.thumbnails.bytes() <= cacheBytes);
    // Down to the end and back, a screen at a time: what the cache let go comes again.
    QScrollBar* bar = rig.grid->verticalScrollBar();
    for (int down = 1; down >= 0; --down) {
        while (down ? bar->value() < bar->maximum() : bar->value() > 0) {
            bar->setValue(bar->value() + (down ? 1 : -1) * bar->pageStep());
            QTRY_VERIFY(rig.tilesInViewDrawTheirPhotos());
            QVERIFY(rig.thumbnails.bytes() <= cacheBytes);
        }
    }
    QVERIFY(rig.tile(first));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PhotoGridTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotoGridTest.moc"
