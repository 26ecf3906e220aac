#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "app/MainWindowSheets.h"
#include "browser/BrowserToolbar.h"
#include "browser/BrowserView.h"
#include "browser/NameSheet.h"
#include "browser/PhotoCell.h"
#include "browser/PhotoGrid.h"
#include "browser/PlaylistRow.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "player/PlayerModel.h"
#include "player/windows/GalleryWindow.h"
#include "sheets/CardView.h"
#include "sheets/PlacesView.h"
#include "state/AppModel.h"
#include "state/Guidance.h"
#include "support/PrivateXServerMain.h"
#include "support/SandboxFixture.h"
#include "support/app/AppRig.h"
#include "support/app/FixedSystemTray.h"
#include "support/app/RecordingSingleInstance.h"
#include "support/services/RecordingCrashHandlers.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/services/RecordingSoftwareUpdates.h"
#include "support/state/CallJournal.h"

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMetaMethod>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr qint64 morningsId = 102;
constexpr qint64 picksId = 103;

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}

QStringList at(const QWidget& widget, QPoint point)
{
    const QPoint global = widget.mapToGlobal(point);
    return {u"mousemove"_s, QString::number(global.x()), QString::number(global.y())};
}

QStringList atCentre(const QWidget& widget)
{
    return at(widget, widget.rect().center());
}

// QObject keeps the question to itself; a member pointer named through a class of ours may ask it.
struct SignalProbe : QObject
{
    static bool isConnected(const QObject& object, const QMetaMethod& signal)
    {
        constexpr auto probe = &SignalProbe::isSignalConnected;
        return (object.*probe)(signal);
    }
};

} // namespace

/// The browser as a user meets it in the composed application: the real root with its wiring on
/// an X server of the test's own, the sandbox as the service, clicks and keys on the real widgets
/// and the pointer driven by xdotool where a drag needs the X server. Outcomes are what the sandbox
/// received and what the app shows.
class BrowserGesturesX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void doubleClickOrReturnPlaysFromThePhoto_data();
    void doubleClickOrReturnPlaysFromThePhoto();
    void arrowKeysWalkTheGrid();
    void newPlaylistFromThePickerAddsThePhoto();
    void markedPhotosDragTogether();
    void latestIsThereToComeBackTo();
    void everyViewSignalHasAReceiver();
    void buttonsShowTheirSymbolsAndSheetsTheirLook();

private:
    /// Starts the app on the session an earlier run left and waits for its browser.
    BrowserView& launch();
    BrowserState& state() const { return m_browser->state(); }
    /// The grid on show once its first page is in.
    PhotoGrid& loadedGrid();
    PhotoCell* cellOf(const PhotoGrid& grid, const QString& uuid) const;
    /// The photo's tile once it stays where it is: a pointer driven from outside must meet it there.
    PhotoCell* settledCell(const PhotoGrid& grid, const QString& uuid);
    SidebarRow* sidebarRow(const QString& title) const;
    void showPlaylist(qint64 id);
    void openPlacesLevel();
    GalleryWindow* gallery() const;
    /// The API requests with this method and path under the API, in order.
    QJsonArray requests(const QByteArray& method, const QString& path);

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    test::CallJournal m_journal;
    std::unique_ptr<Application> m_app;
    QPointer<BrowserView> m_browser;
};

void BrowserGesturesX11Test::init()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    // Gestures here are the browser's: no onboarding or tour comes in between.
    Defaults::shared().set(keys::galleryInfoShow, false);
}

void BrowserGesturesX11Test::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    if (m_app && m_app->model())
        QTRY_COMPARE_WITH_TIMEOUT(m_app->model()->runningTasks(), 0, 20'000);
    m_app.reset();
    m_sandbox.reset();
}

BrowserView& BrowserGesturesX11Test::launch()
{
    [&] { QVERIFY(test::AppRig::leaveSession(*m_sandbox)); }();

    m_app = std::make_unique<Application>(
        Application::Options{},
        StartupServices{
            .singleInstance = std::make_unique<test::RecordingSingleInstance>(m_journal, false),
            .systemTray = std::make_unique<test::FixedSystemTray>(false),
            .crashHandlers = std::make_unique<test::RecordingCrashHandlers>(m_journal),
            .olderApp = std::make_unique<test::RecordingOlderAppMigration>(m_journal),
            .updates = std::make_unique<test::RecordingSoftwareUpdates>(m_journal),
            .clock = nullptr,
        });
    m_app->start();
    [&] {
        QTRY_VERIFY(m_app->mainWindow() && m_app->mainWindow()->window());
        QTRY_COMPARE(m_app->model()->phase(), AppModel::Phase::ready);
        QVERIFY(QTest::qWaitForWindowExposed(m_app->mainWindow()->window()));
        m_app->guidance()->setOnboardingDue(false);
        m_app->guidance()->setTourDue(false);
        QTRY_VERIFY(qobject_cast<BrowserView*>(m_app->mainWindow()->window()->content()));
    }();
    m_browser = qobject_cast<BrowserView*>(m_app->mainWindow()->window()->content());
    return *m_browser;
}

PhotoGrid& BrowserGesturesX11Test::loadedGrid()
{
    PhotoGrid* grid = nullptr;
    [&] {
        QTRY_VERIFY((grid = m_browser->findChild<PhotoGrid*>()) && grid->isVisible() &&
                    !grid->media().isEmpty() && !grid->isLoading());
        QTRY_VERIFY(cellOf(*grid, grid->media().first().uuid));
    }();
    return *grid;
}

PhotoCell* BrowserGesturesX11Test::settledCell(const PhotoGrid& grid, const QString& uuid)
{
    // The first page brings the scroll bar and the service's banner pushes the column down: tiles
    // move, and are handed to other photos, until the layout has settled.
    const auto where = [&] {
        const PhotoCell* cell = cellOf(grid, uuid);
        return cell ? QRect(cell->mapToGlobal(QPoint(0, 0)), cell->size()) : QRect();
    };
    QRect before;
    int still = 0;
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     const QRect now = where();
                                     still = now.isValid() && now == before ? still + 1 : 0;
                                     before = now;
                                     return still >= 6;
                                 }()),
                                 20'000);
    }();
    return cellOf(grid, uuid);
}

PhotoCell* BrowserGesturesX11Test::cellOf(const PhotoGrid& grid, const QString& uuid) const
{
    for (PhotoCell* cell : grid.findChildren<PhotoCell*>()) {
        if (cell->isVisible() && cell->shown().medium.uuid == uuid)
            return cell;
    }
    return nullptr;
}

SidebarRow* BrowserGesturesX11Test::sidebarRow(const QString& title) const
{
    for (SidebarRow* row : m_browser->findChildren<SidebarRow*>()) {
        if (row->isVisible() && row->title() == title)
            return row;
    }
    return nullptr;
}

void BrowserGesturesX11Test::showPlaylist(qint64 id)
{
    QTest::mouseClick(&m_browser->toolbar().modeButton(BrowseMode::playlists), Qt::LeftButton);
    QTRY_VERIFY(m_browser->findChild<PlaylistRow*>(u"playlist.%1"_s.arg(id)));
    PlaylistRow* row = m_browser->findChild<PlaylistRow*>(u"playlist.%1"_s.arg(id));
    QTRY_VERIFY(row->isVisible());
    QTest::mouseClick(&row->row(), Qt::LeftButton, {}, QPoint(10, row->row().height() / 2));
    const Source::Album* shown = state().selection() ? state().selection()->as<Source::Album>() : nullptr;
    QVERIFY(shown);
    QCOMPARE(shown->id, id);
}

void BrowserGesturesX11Test::openPlacesLevel()
{
    QTest::mouseClick(&m_browser->toolbar().modeButton(BrowseMode::places), Qt::LeftButton);
    auto* places = qobject_cast<PlacesView*>(m_browser->content());
    QVERIFY(places);
    QTRY_COMPARE(places->state(), PlacesView::State::home);
    CardView* card = nullptr;
    QTRY_VERIFY((card = places->findChild<CardView*>()) && card->isVisible());
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_COMPARE(places->state(), PlacesView::State::level);
}

GalleryWindow* BrowserGesturesX11Test::gallery() const
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<GalleryWindow*>(window); found && found->isVisible())
            return found;
    }
    return nullptr;
}

QJsonArray BrowserGesturesX11Test::requests(const QByteArray& method, const QString& path)
{
    QJsonArray found;
    for (const QJsonValue& request : m_sandbox->requests()) {
        if (request[u"method"_s].toString().toUtf8() == method && request[u"path"_s] == u"/api/v6/"_s + path)
            found.append(request);
    }
    return found;
}

void BrowserGesturesX11Test::doubleClickOrReturnPlaysFromThePhoto_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("byKey");

    QTest::newRow("latest, double-click") << u"latest"_s << false;
    QTest::newRow("playlist, double-click") << u"playlist"_s << false;
    QTest::newRow("places level, double-click") << u"places"_s << false;
    QTest::newRow("playlist, Return") << u"playlist"_s << true;
}

void BrowserGesturesX11Test::doubleClickOrReturnPlaysFromThePhoto()
{
    QFETCH(QString, where);
    QFETCH(bool, byKey);

    launch();
    if (where == u"playlist")
        showPlaylist(morningsId);
    else if (where == u"places")
        openPlacesLevel();
    PhotoGrid& grid = loadedGrid();
    QVERIFY(grid.media().size() > 2);
    const Medium photo = grid.media().at(2);
    PhotoCell* cell = settledCell(grid, photo.uuid);
    QVERIFY(cell);
    m_sandbox->clearRequests();

    const QPoint picture = cell->pictureRect().center();
    if (byKey) {
        QTest::mouseClick(cell, Qt::LeftButton, {}, picture);
        QTRY_VERIFY(grid.hasFocus());
        QTest::keyClick(&grid, Qt::Key_Return);
    } else {
        QVERIFY(xdotool(at(*cell, picture) +
                        QStringList{u"click"_s, u"--repeat"_s, u"2"_s, u"--delay"_s, u"80"_s, u"1"_s}));
    }
    QTRY_VERIFY_WITH_TIMEOUT(gallery(), 15'000);
    QCOMPARE(gallery()->model().mode(), PlayMode::slideshow());
    QTRY_VERIFY_WITH_TIMEOUT(gallery()->model().current(), 15'000);
    QCOMPARE(gallery()->model().current()->medium.uuid, photo.uuid);
    // The descriptions the gallery shows come from the service, for the source on show.
    const QString described = where == u"places"     ? u"places/media"_s
                              : where == u"playlist" ? u"media/playlists/mountain-mornings"_s
                                                     : u"media/classic/latest"_s;
    const QJsonArray fetched = requests("GET", described);
    QVERIFY(!fetched.isEmpty());
    QVERIFY(fetched.last()[u"query"_s].toString().contains(u"with_description=true"_s));
    QTest::keyClick(gallery()->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!gallery());
}

void BrowserGesturesX11Test::arrowKeysWalkTheGrid()
{
    launch();
    PhotoGrid& grid = loadedGrid();
    PhotoCell* first = cellOf(grid, grid.media().first().uuid);
    QTest::mouseClick(first, Qt::LeftButton, {}, first->pictureRect().center());
    QTRY_VERIFY(grid.hasFocus());
    QCOMPARE(state().selectedPhoto()->uuid, grid.media().at(0).uuid);

    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(state().selectedPhoto()->uuid, grid.media().at(1).uuid);
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(state().selectedPhoto()->uuid, grid.media().at(0).uuid);
    // Down goes a row on, however many columns there are; far down the grid scrolls along.
    const qsizetype perRow = [&] {
        const int top = cellOf(grid, grid.media().at(0).uuid)->y();
        qsizetype count = 0;
        while (count < grid.media().size() && cellOf(grid, grid.media().at(count).uuid)->y() == top)
            ++count;
        return count;
    }();
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(state().selectedPhoto()->uuid, grid.media().at(perRow).uuid);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(&grid, Qt::Key_Down);
    const Medium reached = *state().selectedPhoto();
    PhotoCell* shown = cellOf(grid, reached.uuid);
    QVERIFY(shown);
    QVERIFY(
        grid.viewport()->rect().contains(QRect(shown->mapTo(grid.viewport(), QPoint(0, 0)), shown->size())));
    QVERIFY(shown->shown().selected);
}

void BrowserGesturesX11Test::newPlaylistFromThePickerAddsThePhoto()
{
    launch();
    PhotoGrid& grid = loadedGrid();
    const Medium photo = grid.media().at(1);
    PhotoCell* cell = cellOf(grid, photo.uuid);
    QVERIFY(cell);
    m_sandbox->clearRequests();

    QTest::mouseClick(cell->findChild<QToolButton*>(u"cell.add"_s), Qt::LeftButton);
    QWidget* picker = nullptr;
    QTRY_VERIFY((picker = QApplication::activePopupWidget()) && picker->objectName() == u"playlistPicker");
    QTest::mouseClick(picker->findChild<QPushButton*>(u"playlistPicker.new"_s), Qt::LeftButton);
    NameSheet* sheet = nullptr;
    QTRY_VERIFY((sheet = m_app->mainWindow()->window()->findChild<NameSheet*>()) && sheet->isVisible());
    QCOMPARE(sheet->confirmButton().text(), u"Create and Add"_s);
    QTest::keyClicks(&sheet->field(), u"Road Trip"_s);
    QTest::mouseClick(&sheet->confirmButton(), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(requests("POST", u"albums/road-trip"_s).size(), 1, 15'000);
    const QJsonArray created = requests("POST", u"albums"_s);
    QCOMPARE(created.size(), 1);
    QCOMPARE(QJsonDocument::fromJson(created[0][u"body"_s].toString().toUtf8())[u"playlist"_s].toString(),
             u"Road Trip"_s);
    const QJsonArray added = requests("POST", u"albums/road-trip"_s);
    QCOMPARE(QJsonDocument::fromJson(added[0][u"body"_s].toString().toUtf8())[u"uuid"_s].toString(),
             photo.uuid);
    // The browser stays where it was.
    QCOMPARE(state().selection(), std::optional(Source::latest()));
}

void BrowserGesturesX11Test::markedPhotosDragTogether()
{
    launch();
    showPlaylist(morningsId);
    PhotoGrid& grid = loadedGrid();
    QVERIFY(grid.media().size() >= 3);
    QList<Medium> photos = grid.media().mid(0, 3);
    QVERIFY(settledCell(grid, photos.first().uuid));
    QWidget* window = m_app->mainWindow()->window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // A click, then Shift-click: three marks, made with the real keyboard the grid asks.
    for (const QString& uuid : {photos.first().uuid, photos.last().uuid}) {
        PhotoCell* cell = cellOf(grid, uuid);
        QVERIFY(cell);
        const bool range = uuid == photos.last().uuid;
        if (range)
            QVERIFY(xdotool({u"keydown"_s, u"shift"_s}));
        QVERIFY(xdotool(at(*cell, cell->pictureRect().center()) + QStringList{u"click"_s, u"1"_s}));
        QTRY_VERIFY(grid.marks().isMarked(uuid));
        if (range)
            QVERIFY(xdotool({u"keyup"_s, u"shift"_s}));
    }
    QTRY_COMPARE(grid.marks().marked().size(), 3);
    m_sandbox->clearRequests();

    // Pressed on the middle photo, which is marked: the marks stay for the drag. Once the drag
    // runs, the pointer goes on to "Editor's Picks" and lets go there.
    PhotoCell* middle = cellOf(grid, photos.at(1).uuid);
    auto* target = m_browser->findChild<PlaylistRow*>(u"playlist.%1"_s.arg(picksId));
    QVERIFY(middle && target);
    const QPoint start = middle->pictureRect().center();
    QTimer dropper;
    bool dropped = false;
    connect(&dropper, &QTimer::timeout, this, [&] {
        if (!middle->findChild<QDrag*>() || dropped)
            return;
        dropped = true;
        for (int step = 1; step <= 3; ++step)
            xdotool(at(target->row(), QPoint(target->width() * step / 4, target->height() / 2)));
        xdotool({u"sleep"_s, u"0.2"_s});
        xdotool(atCentre(target->row()) + QStringList{u"sleep"_s, u"0.2"_s, u"mouseup"_s, u"1"_s});
    });
    dropper.start(50);
    QVERIFY(xdotool(at(*middle, start) + QStringList{u"mousedown"_s, u"1"_s}));
    for (int dx : {12, 24, 40})
        QVERIFY(xdotool(at(*middle, start + QPoint(dx, 0))));
    QTRY_VERIFY_WITH_TIMEOUT(dropped, 10'000);

    QTRY_COMPARE_WITH_TIMEOUT(requests("POST", u"albums/editor-s-picks"_s).size(), 3, 15'000);
    QStringList sent;
    for (const QJsonValue& request : requests("POST", u"albums/editor-s-picks"_s))
        sent.append(QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8())[u"uuid"_s].toString());
    QCOMPARE(sent, (QStringList{photos[0].uuid, photos[1].uuid, photos[2].uuid}));
    QTRY_COMPARE(m_app->guidance()->notice(), std::optional<QString>(u"Added 3 photos to Editor's Picks"_s));
    QCOMPARE(grid.marks().marked().size(), 3);
}

void BrowserGesturesX11Test::latestIsThereToComeBackTo()
{
    launch();
    QCOMPARE(state().selection(), std::optional(Source::latest()));
    SidebarRow* latest = nullptr;
    QTRY_VERIFY((latest = sidebarRow(u"Latest"_s)));
    QVERIFY(latest->isSelected());

    SidebarRow* mountains = sidebarRow(u"Mountains"_s);
    QVERIFY(mountains);
    QTest::mouseClick(mountains, Qt::LeftButton, {}, QPoint(10, mountains->height() / 2));
    QTRY_VERIFY(mountains->isSelected());
    QVERIFY(!latest->isSelected());

    m_sandbox->clearRequests();
    QTest::mouseClick(latest, Qt::LeftButton, {}, QPoint(10, latest->height() / 2));
    QCOMPARE(state().selection(), std::optional(Source::latest()));
    QVERIFY(latest->isSelected());
    QCOMPARE(m_app->mainWindow()->window()->windowTitle(), u"Latest"_s);
    QTRY_VERIFY(!requests("GET", u"media/classic/latest"_s).isEmpty());
}

void BrowserGesturesX11Test::everyViewSignalHasAReceiver()
{
    // Every public signal of the browser, the grid, the places and the sheets, once it exists in
    // the composed app. A new signal is one more row.
    const QList<std::pair<QByteArray, QByteArray>> table{
        {"lumi::BrowserState", "selectionChanged()"},
        {"lumi::BrowserState", "modeChanged()"},
        {"lumi::BrowserState", "searchTextChanged()"},
        {"lumi::BrowserState", "gridMediaChanged()"},
        {"lumi::BrowserState", "columnsChanged()"},
        {"lumi::BrowserState", "dropTargetChanged()"},
        {"lumi::ColumnsSelector", "columnsChosen(lumi::GridColumns)"},
        {"lumi::SidebarList", "newPlaylistRequested()"},
        {"lumi::SidebarList", "renameRequested(lumi::Album)"},
        {"lumi::SidebarList", "deleteRequested(lumi::Album)"},
        {"lumi::SidebarRow", "clicked()"},
        {"lumi::PlaylistRow", "renameRequested(lumi::Album)"},
        {"lumi::PlaylistRow", "deleteRequested(lumi::Album)"},
        {"lumi::PhotoGrid", "mediaChanged()"},
        {"lumi::PhotoGrid", "selectedChanged()"},
        {"lumi::PhotoGrid", "playRequested(lumi::Medium)"},
        {"lumi::PhotoGrid", "newPlaylistRequested(lumi::Medium)"},
        {"lumi::GridPages", "mediaChanged()"},
        {"lumi::GridPages", "stateChanged()"},
        {"lumi::GridPlaceholder", "retryRequested()"},
        {"lumi::PlaylistPicker", "chosen(lumi::Album)"},
        {"lumi::PlaylistPicker", "newPlaylistRequested()"},
        {"lumi::NameSheet", "committed(QString)"},
    };
    QSet<std::pair<QByteArray, QByteArray>> seen;
    // A receiver may come with a scene (the playlist rows hear of drag targets): an object passes
    // once its signal is connected in some scene it was in.
    QMap<std::pair<const QObject*, QByteArray>, QString> unheard;
    QStringList missing;
    const auto check = [&](const QString& scene) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QList<QObject*> objects = window->findChildren<QObject*>();
            objects.prepend(window);
            for (QObject* object : std::as_const(objects)) {
                const QMetaObject* meta = object->metaObject();
                const QByteArray type = meta->className();
                for (int index = meta->methodOffset(); index < meta->methodCount(); ++index) {
                    const QMetaMethod method = meta->method(index);
                    if (method.methodType() != QMetaMethod::Signal || !type.startsWith("lumi::"))
                        continue;
                    const std::pair row{type, method.methodSignature()};
                    if (!table.contains(row)) {
                        if (type.startsWith("lumi::Browser") || type.startsWith("lumi::Grid") ||
                            type.startsWith("lumi::Photo") || type.startsWith("lumi::Places") ||
                            type.startsWith("lumi::Sidebar") || type.startsWith("lumi::Playlist") ||
                            type.contains("Sheet"))
                            missing.append(u"%1::%2 has no row (%3)"_s.arg(
                                QString::fromUtf8(type), QString::fromUtf8(row.second), scene));
                        continue;
                    }
                    seen.insert(row);
                    const std::pair key{static_cast<const QObject*>(object), row.second};
                    if (SignalProbe::isConnected(*object, method))
                        unheard.insert(key, QString());
                    else if (!unheard.contains(key))
                        unheard.insert(
                            key, u"%1::%2 has no receiver (%3)"_s.arg(QString::fromUtf8(type),
                                                                      QString::fromUtf8(row.second), scene));
                }
            }
        }
    };

    launch();
    loadedGrid();
    check(u"latest"_s);
    showPlaylist(morningsId);
    loadedGrid();
    check(u"playlist"_s);
    openPlacesLevel();
    PhotoGrid& places = loadedGrid();
    check(u"places level"_s);

    PhotoCell* cell = cellOf(places, places.media().first().uuid);
    QTest::mouseClick(cell->findChild<QToolButton*>(u"cell.add"_s), Qt::LeftButton);
    QWidget* picker = nullptr;
    QTRY_VERIFY((picker = QApplication::activePopupWidget()));
    check(u"playlist picker"_s);
    QTest::mouseClick(picker->findChild<QPushButton*>(u"playlistPicker.new"_s), Qt::LeftButton);
    NameSheet* sheet = nullptr;
    QTRY_VERIFY((sheet = m_app->mainWindow()->window()->findChild<NameSheet*>()) && sheet->isVisible());
    check(u"name sheet"_s);
    sheet->reject();

    for (const QString& never : std::as_const(unheard)) {
        if (!never.isEmpty())
            missing.append(never);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
    for (const auto& row : table)
        QVERIFY2(seen.contains(row), qPrintable(u"no %1 was on screen"_s.arg(QString::fromUtf8(row.first))));
}

void BrowserGesturesX11Test::buttonsShowTheirSymbolsAndSheetsTheirLook()
{
    // This X server has no icon theme: what shows is what the app brings along.
    launch();
    QStringList blank;
    const auto check = [&blank](const QIcon& icon, const QString& what) {
        if (icon.isNull() || icon.pixmap(18, 18).isNull())
            blank.append(what);
    };
    BrowserToolbar& toolbar = m_browser->toolbar();
    for (QToolButton* button : toolbar.findChildren<QToolButton*>()) {
        if (button->isVisible() && !button->text().isEmpty())
            check(button->icon(), button->text());
    }
    for (QAction* action : toolbar.playButton().menu()->actions()) {
        if (!action->isSeparator() && !action->text().isEmpty())
            check(action->icon(), action->text());
    }
    PhotoGrid& grid = loadedGrid();
    for (QToolButton* button : cellOf(grid, grid.media().first().uuid)->findChildren<QToolButton*>())
        check(button->icon(), button->objectName());
    QTest::mouseClick(&m_browser->toolbar().modeButton(BrowseMode::playlists), Qt::LeftButton);
    QPushButton* create = nullptr;
    QTRY_VERIFY((create = m_browser->findChild<QPushButton*>(u"sidebar.newPlaylist"_s)) &&
                create->isVisible());
    check(create->icon(), create->text());
    QVERIFY2(blank.isEmpty(), qPrintable(blank.join(u", "_s)));

    // The settings keep their white; the main window around them is grey.
    QTest::mouseClick(&toolbar.settingsButton(), Qt::LeftButton);
    QDialog* settings = nullptr;
    QTRY_VERIFY((settings = m_app->mainWindow()->window()->sheets().dialog()) && settings->isVisible());
    QCOMPARE(settings->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(m_app->mainWindow()->window()->palette().color(QPalette::Window) != QColor(Qt::white));
    auto* close = settings->findChild<QToolButton*>(u"settings.closeButton"_s);
    QVERIFY(close);
    check(close->icon(), u"close"_s);
    QVERIFY2(blank.isEmpty(), qPrintable(blank.join(u", "_s)));
    QTest::mouseClick(close, Qt::LeftButton);
    QTRY_VERIFY(!m_app->mainWindow()->window()->sheets().dialog());
}

} // namespace lumi

int main(int argc, char** argv)
{
    return lumi::test::runOnPrivateXServer<QApplication>(
        argc, argv, [] { return std::make_unique<lumi::BrowserGesturesX11Test>(); });
}

#include "BrowserGesturesX11Test.moc"
