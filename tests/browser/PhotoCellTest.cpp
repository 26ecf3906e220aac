#include "browser/PhotoCell.h"
#include "browser/PhotoDragSource.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/FakeScreens.h"
#include "support/browser/RecordingPhotoSheets.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"
#include "wallpaper/DisplayChoice.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::DisplayChoice;
using lumi::DisplayInfo;
using lumi::Medium;
using lumi::PhotoCell;
using lumi::PhotoDragSource;
using lumi::ThumbnailLoader;
using lumi::test::FakeScreens;
using lumi::test::ModelHarness;
using lumi::test::RecordingPhotoSheets;
using lumi::test::RecordingRevealer;

namespace {

enum class Grid { listing, playlist, favorites, linked };
enum class Photo { catalog, local, localWithoutPath };

// A signed-in model, two screens the test sets, and a tile whose reports to the grid are recorded.
struct CellRig
{
    CellRig()
    {
        harness.launchSignedIn();
        cell = std::make_unique<PhotoCell>(lumi::GridServices{harness.model(), harness.catalog(),
                                                              harness.playlists(), harness.guidance(),
                                                              harness.defaults, screens, harness.links,
                                                              revealer, sheets, thumbnails, harness.clock},
                                           actions());
        cell->resize(400, PhotoCell::heightFor(400));
        cell->show();
    }

    PhotoCell::Actions actions()
    {
        auto record = [this](const QString& what) {
            return [this, what](const Medium& m) { reports.append(what + u' ' + m.uuid); };
        };
        return PhotoCell::Actions{
            .chosen = [this](const Medium& m) { return chosen.isEmpty() ? QList<Medium>{m} : chosen; },
            .select = record(u"select"_s),
            .play = record(u"play"_s),
            .newPlaylist = record(u"newPlaylist"_s),
            .removed = record(u"removed"_s),
            .removeChosen = record(u"removeChosen"_s),
            .selectAll = [this] { reports.append(u"selectAll"_s); },
            .notify = [this](const QString& text) { reports.append(u"notify "_s + text); }};
    }

    std::optional<Album> album(Grid grid)
    {
        switch (grid) {
        case Grid::listing:
            return std::nullopt;
        case Grid::playlist:
            return harness.album(u"mountain-mornings"_s);
        case Grid::favorites:
            return harness.album(u"favorites"_s);
        case Grid::linked: {
            Album linked = harness.album(u"editor-s-picks"_s);
            linked.localPath = u"/home/someone/Pictures/Picks"_s;
            return linked;
        }
        }
        return std::nullopt;
    }

    QStringList visibleButtons() const
    {
        QStringList names;
        for (const char* name : {"wallpaper", "favorite", "add", "share", "remove"}) {
            if (cell->findChild<QToolButton*>(u"cell."_s + QLatin1StringView(name))->isVisibleTo(cell.get()))
                names.append(QString::fromLatin1(name));
        }
        return names;
    }

    /// The tile's context menu, opened as a right click would.
    QMenu* openMenu()
    {
        qDeleteAll(cell->findChildren<QMenu*>(u"cell.menu"_s));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), cell->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(cell.get(), &event);
        return cell->findChild<QMenu*>(u"cell.menu"_s);
    }

    QStringList menuItems()
    {
        QStringList items;
        for (QAction* action : openMenu()->actions())
            items.append(action->isSeparator() ? u"-"_s : action->text());
        return items;
    }

    ModelHarness harness;
    FakeScreens screens{{FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080))}};
    RecordingPhotoSheets sheets;
    RecordingRevealer revealer;
    ThumbnailLoader thumbnails{harness.api.network()};
    QStringList reports;
    QList<Medium> chosen;
    std::unique_ptr<PhotoCell> cell;
};

Medium localPhoto(const QString& path)
{
    return Medium{.uuid = u"local-1"_s, .title = u"Beach"_s, .localPath = path};
}

} // namespace

Q_DECLARE_METATYPE(Grid)
Q_DECLARE_METATYPE(Photo)

class PhotoCellTest final : public QObject
{
    Q_OBJECT

private slots:
    void offersWhatThePhotoAllows_data();
    void offersWhatThePhotoAllows();
    void setsAsWallpaper_data();
    void setsAsWallpaper();
    void unstarringLeavesOnlyTheFavoritesGrid_data();
    void unstarringLeavesOnlyTheFavoritesGrid();
    void addsToAChosenPlaylist();
    void aLateThumbnailNeverLandsOnAReusedTile();
    void dragPreviewBadgesTwoOrMore();
    void aPressOnAMarkedTileSelectsOnRelease_data();
    void aPressOnAMarkedTileSelectsOnRelease();
    void showsItsTitleAndSymbolsAsGiven();
    void drawsThePictureInItsRoundedFrame_data();
    void drawsThePictureInItsRoundedFrame();
};

void PhotoCellTest::offersWhatThePhotoAllows_data()
{
    QTest::addColumn<Photo>("kind");
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("menu");

    const QStringList all{u"wallpaper"_s, u"favorite"_s, u"add"_s, u"share"_s, u"remove"_s};
    const QStringList catalogMenu{u"Set as Wallpaper"_s, u"Add to Favorites"_s, u"Add to Playlist…"_s,
                                  u"Share…"_s, u"Open Photo Page"_s};
    const QStringList removal{u"-"_s, u"Remove from Playlist"_s, u"Select All"_s};
    QTest::newRow("catalog photo in a listing")
        << Photo::catalog << Grid::listing << 1 << all.mid(0, 4) << catalogMenu;
    QTest::newRow("catalog photo in a playlist")
        << Photo::catalog << Grid::playlist << 1 << all << catalogMenu + removal;
    QTest::newRow("three chosen in a playlist")
        << Photo::catalog << Grid::playlist << 3 << all
        << catalogMenu + QStringList{u"-"_s, u"Remove 3 Photos from Playlist"_s, u"Select All"_s};
    QTest::newRow("catalog photo in the favorites")
        << Photo::catalog << Grid::favorites << 1 << all.mid(0, 4) << catalogMenu + removal;
    const QStringList localMenu{u"Set as Wallpaper"_s, u"Show in File Manager"_s};
    QTest::newRow("local photo in a listing")
        << Photo::local << Grid::listing << 1 << QStringList{u"wallpaper"_s} << localMenu;
    QTest::newRow("local photo in a playlist")
        << Photo::local << Grid::playlist << 1 << QStringList{u"wallpaper"_s, u"remove"_s}
        << localMenu + QStringList{u"-"_s, u"Remove from Playlist"_s};
    QTest::newRow("local photo in a linked folder")
        << Photo::local << Grid::linked << 1 << QStringList{u"wallpaper"_s} << localMenu;
    // Nothing to show in the file manager, and no picture to fetch.
    QTest::newRow("local photo with an empty path")
        << Photo::localWithoutPath << Grid::listing << 1 << QStringList{u"wallpaper"_s}
        << QStringList{u"Set as Wallpaper"_s};
}

void PhotoCellTest::offersWhatThePhotoAllows()
{
    QFETCH(Photo, kind);
    QFETCH(Grid, grid);
    QFETCH(int, chosen);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, menu);

    CellRig rig;
    const QList<Medium> photos = rig.harness.catalogPhotos(3);
    Medium photo = kind == Photo::catalog
                       ? photos.first()
                       : localPhoto(kind == Photo::local ? u"/home/someone/Pictures/beach.jpg"_s : QString());
    if (kind == Photo::catalog)
        photo.sourceUrl = u"https://lumivale.test/photos/1"_s;
    rig.chosen = photos.mid(0, chosen);
    rig.cell->present({.medium = photo, .album = rig.album(grid)});
    QCOMPARE(rig.visibleButtons(), buttons);
    QCOMPARE(rig.menuItems(), menu);
    for (QAction* action : rig.openMenu()->actions()) {
        if (action->text() == u"Show in File Manager"_s)
            action->trigger();
    }
    QCOMPARE(rig.revealer.revealedFiles,
             menu.contains(u"Show in File Manager"_s) ? QStringList{*photo.localPath} : QStringList{});

    // Without a usable page link there is no "Open Photo Page".
    photo.sourceUrl = u"http://lumivale.test/photos/1"_s;
    rig.cell->present({.medium = photo, .album = rig.album(grid)});
    QVERIFY(!rig.menuItems().contains(u"Open Photo Page"_s));
}

void PhotoCellTest::setsAsWallpaper_data()
{
    QTest::addColumn<int>("displays");
    QTest::addColumn<bool>("askDefault");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("outcome"); // "sheet", or the displays the rotation was asked for

    QTest::newRow("one display") << 1 << true << false << u"all"_s;
    QTest::newRow("one display, shift") << 1 << true << true << u"all"_s;
    QTest::newRow("two displays, asking") << 2 << true << false << u"sheet"_s;
    QTest::newRow("two displays, not asking") << 2 << false << false << u"RIGHT"_s;
    QTest::newRow("two displays, not asking, shift") << 2 << false << true << u"sheet"_s;
}

void PhotoCellTest::setsAsWallpaper()
{
    QFETCH(int, displays);
    QFETCH(bool, askDefault);
    QFETCH(bool, shift);
    QFETCH(QString, outcome);

    CellRig rig;
    const DisplayInfo left = FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080));
    const DisplayInfo right = FakeScreens::display(u"RIGHT"_s, QRect(1920, 0, 1280, 1024));
    rig.screens.setDisplays(displays == 1 ? QList<DisplayInfo>{left} : QList<DisplayInfo>{left, right});
    rig.harness.defaults.set(lumi::keys::showDisplaysDialog, askDefault);
    // The left display is switched off for chosen photos.
    rig.harness.defaults.set(lumi::keys::wallpaperDisplaysOff, QStringList{DisplayChoice::displayID(left)});
    const Medium photo = rig.harness.catalogPhotos(1).first();
    rig.cell->present({.medium = photo, .album = rig.album(Grid::playlist)});
    rig.harness.journal.clear();

    QTest::mouseClick(rig.cell->findChild<QToolButton*>(u"cell.wallpaper"_s), Qt::LeftButton,
                      shift ? Qt::ShiftModifier : Qt::NoModifier);
    QVERIFY(rig.harness.settle());
    if (outcome == u"sheet"_s) {
        QCOMPARE(rig.sheets.opened, QStringList{u"displays"_s});
        QVERIFY(rig.harness.journal.calls().filter(u"showPhoto"_s).isEmpty());
        rig.sheets.commitDisplays({left, right});
        QVERIFY(rig.harness.settle());
        outcome = u"LEFT+RIGHT"_s;
    }
    QCOMPARE(rig.harness.journal.calls().filter(u"showPhoto"_s),
             QStringList{u"rotation.showPhoto(%1,%2)"_s.arg(photo.uuid, outcome)});
    QCOMPARE(rig.reports, QStringList{u"notify Set as your wallpaper"_s});
}

void PhotoCellTest::unstarringLeavesOnlyTheFavoritesGrid_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<QStringList>("reports");

    QTest::newRow("favorites grid") << Grid::favorites << QStringList{u"removed %1"_s};
    QTest::newRow("other playlist") << Grid::playlist << QStringList{};
    QTest::newRow("listing") << Grid::listing << QStringList{};
}

void PhotoCellTest::unstarringLeavesOnlyTheFavoritesGrid()
{
    QFETCH(Grid, grid);
    QFETCH(QStringList, reports);

    CellRig rig;
    const QString favorite = *rig.harness.model().favoriteUUIDs().begin();
    rig.cell->present({.medium = Medium{.uuid = favorite, .title = u"Starred"_s}, .album = rig.album(grid)});
    QCOMPARE(rig.menuItems().at(1), u"Remove from Favorites"_s);
    auto* star = rig.cell->findChild<QToolButton*>(u"cell.favorite"_s);
    star->click();
    QVERIFY(!star->parentWidget()->isEnabled());
    QTRY_VERIFY(star->parentWidget()->isEnabled());
    QVERIFY(!rig.harness.model().favoriteUUIDs().contains(favorite));
    QCOMPARE(rig.reports, reports.replaceInStrings(u"%1"_s, favorite));
}

void PhotoCellTest::addsToAChosenPlaylist()
{
    CellRig rig;
    const Medium photo = rig.harness.catalogPhotos(1).first();
    rig.cell->present({.medium = photo, .album = rig.album(Grid::playlist)});
    rig.cell->findChild<QToolButton*>(u"cell.add"_s)->click();
    auto* picker = qobject_cast<QFrame*>(QApplication::activePopupWidget());
    QVERIFY(picker);
    QStringList titles;
    QPushButton* picks = nullptr;
    for (QPushButton* button : picker->findChildren<QPushButton*>()) {
        titles.append(button->text());
        if (button->text() == u"Editor's Picks"_s)
            picks = button;
    }
    // The grid's own playlist is left out.
    QCOMPARE(titles, (QStringList{u"Favorites"_s, u"Editor's Picks"_s, u"New Playlist…"_s}));
    rig.harness.sandbox.clearRequests();
    picks->click();
    QTRY_COMPARE(rig.reports, QStringList{u"notify Added to Editor's Picks"_s});
    QVERIFY(rig.harness.requestLines().contains(u"POST /albums/editor-s-picks"_s));
}

void PhotoCellTest::aLateThumbnailNeverLandsOnAReusedTile()
{
    CellRig rig;
    const QList<Medium> photos = rig.harness.catalogPhotos(2);
    const QString slowPath = QUrl(*photos[0].thumbnailURL()).path();
    rig.harness.sandbox.addFault(QJsonObject{{u"path"_s, slowPath}, {u"delayMs"_s, 1500}});
    bool slowEnded = false;
    const QObject scope;
    QObject::connect(&rig.harness.api.network(), &QNetworkAccessManager::finished, &scope,
                     [&slowEnded, slowPath](QNetworkReply* reply) {
                         if (reply->url().path() == slowPath)
                             slowEnded = true;
                     });

    rig.cell->present({.medium = photos[0]});
    rig.cell->present({.medium = photos[1]});
    QTRY_VERIFY(!rig.cell->picture().isNull());
    const QImage second = rig.cell->picture();

    // Past the slow answer: its request has ended, answered or given up, and a picture asked for
    // after it has come through the same network and decoder. The tile still shows the second photo.
    QTRY_VERIFY(slowEnded);
    ThumbnailLoader fresh(rig.harness.api.network());
    QImage expected;
    fresh.load(*photos[1].thumbnailURL(), second.size(), [&](const QImage& image) { expected = image; });
    QTRY_VERIFY(!expected.isNull());
    QCOMPARE(rig.cell->picture(), second);
    QCOMPARE(second, expected);
}

void PhotoCellTest::dragPreviewBadgesTwoOrMore()
{
    QImage thumb(640, 360, QImage::Format_RGB32);
    thumb.fill(QColor(0, 160, 0));
    const QImage one = PhotoDragSource::preview(thumb, 1, 1);
    QCOMPARE(one.size(), QSize(160, 90));
    QCOMPARE(one.pixelColor(80, 45), QColor(0, 160, 0));
    QCOMPARE(one.pixelColor(0, 0).alpha(), 0); // rounded corner

    const QImage two = PhotoDragSource::preview(thumb, 2, 1);
    QCOMPARE(two.size(), QSize(166, 96));
    // The badge's dark capsule reaches past the picture's top-right corner.
    QCOMPARE(two.pixelColor(162, 6).rgb(), QColor(25, 23, 22).rgb());
    QCOMPARE(two.pixelColor(80, 51), QColor(0, 160, 0));

    const QImage empty = PhotoDragSource::preview(QImage(), 1, 1);
    QCOMPARE(empty.pixelColor(80, 45).alpha(), 77);
}

void PhotoCellTest::aPressOnAMarkedTileSelectsOnRelease_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("selectsOnPress");

    // A plain press on a marked tile may start a drag of every mark: it must not narrow them first.
    QTest::newRow("marked, plain press") << Grid::playlist << true << Qt::KeyboardModifiers() << false;
    QTest::newRow("unmarked") << Grid::playlist << false << Qt::KeyboardModifiers() << true;
    QTest::newRow("marked, Ctrl toggles at once")
        << Grid::playlist << true << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("marked, Shift extends at once")
        << Grid::playlist << true << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("selected in a listing") << Grid::listing << true << Qt::KeyboardModifiers() << true;
}

void PhotoCellTest::aPressOnAMarkedTileSelectsOnRelease()
{
    QFETCH(Grid, grid);
    QFETCH(bool, marked);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, selectsOnPress);

    CellRig rig;
    const Medium photo = rig.harness.catalogPhotos(1).first();
    rig.cell->present({.medium = photo, .album = rig.album(grid), .selected = marked});
    const QPoint picture = rig.cell->pictureRect().center();
    const QString select = u"select "_s + photo.uuid;
    QTest::mousePress(rig.cell.get(), Qt::LeftButton, modifiers, picture);
    QCOMPARE(rig.reports, selectsOnPress ? QStringList{select} : QStringList{});
    QTest::mouseRelease(rig.cell.get(), Qt::LeftButton, modifiers, picture);
    QCOMPARE(rig.reports, QStringList{select});
}

void PhotoCellTest::showsItsTitleAndSymbolsAsGiven()
{
    CellRig rig;
    Medium photo = rig.harness.catalogPhotos(1).first();
    photo.title = u"<b>Dawn</b> & dusk"_s;
    rig.cell->present({.medium = photo, .album = rig.album(Grid::playlist)});
    QList<QLabel*> titles = rig.cell->findChildren<QLabel*>();
    titles.removeIf([](const QLabel* label) { return !label->text().contains(u"Dawn"_s); });
    QCOMPARE(titles.size(), 1);
    QCOMPARE(titles.first()->textFormat(), Qt::PlainText);
    // Every button shows a symbol, themed or bundled, on any desktop.
    for (const char* name : {"wallpaper", "favorite", "add", "share", "remove"}) {
        auto* button = rig.cell->findChild<QToolButton*>(u"cell."_s + QLatin1StringView(name));
        QVERIFY2(!button->icon().pixmap(17, 17).isNull(), name);
    }
}

void PhotoCellTest::drawsThePictureInItsRoundedFrame_data()
{
    QTest::addColumn<bool>("arrives");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("resizedTo");

    QTest::newRow("loading") << false << false << 0;
    QTest::newRow("loaded") << true << false << 0;
    QTest::newRow("selected") << true << true << 0;
    // Narrower tiles take a frame of their own size: the corners follow, the border too.
    QTest::newRow("selected, then narrower") << true << true << 300;
}

void PhotoCellTest::drawsThePictureInItsRoundedFrame()
{
    QFETCH(bool, arrives);
    QFETCH(bool, selected);
    QFETCH(int, resizedTo);

    CellRig rig;
    const Medium photo = rig.harness.catalogPhotos(1).first();
    if (!arrives)
        rig.harness.sandbox.addFault(
            QJsonObject{{u"path"_s, QUrl(*photo.thumbnailURL()).path()}, {u"delayMs"_s, 3000}});
    rig.cell->present({.medium = photo, .selected = selected});
    if (resizedTo) {
        QTRY_VERIFY(!rig.cell->picture().isNull());
        rig.cell->resize(resizedTo, PhotoCell::heightFor(resizedTo));
        QTRY_COMPARE(rig.cell->picture().size(), rig.cell->pictureRect().size());
    } else if (arrives) {
        QTRY_VERIFY(!rig.cell->picture().isNull());
    }

    const QImage drawn = rig.cell->grab().toImage();
    const QRect picture = rig.cell->pictureRect();
    const QImage& shown = rig.cell->picture();
    auto photoAt = [&](QPoint at) {
        return arrives ? shown.pixelColor(at).rgb() : QColor(240, 240, 240).rgb();
    };
    const QPoint centre = picture.center();
    const QPoint topEdge(picture.center().x(), 1);
    QCOMPARE(drawn.pixelColor(centre).rgb(), photoAt(centre));
    QCOMPARE(drawn.pixelColor(topEdge).rgb(), selected ? QColor(25, 23, 22).rgb() : photoAt(topEdge));
    // Beyond the rounded corners the grid's white shows, not the photo's square corners.
    QCOMPARE(drawn.pixelColor(picture.topLeft()).rgb(), QColor(Qt::white).rgb());
    QCOMPARE(drawn.pixelColor(picture.topRight()).rgb(), QColor(Qt::white).rgb());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PhotoCellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotoCellTest.moc"
