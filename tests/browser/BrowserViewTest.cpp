#include "browser/BrowserView.h"
#include "browser/BrowserToolbar.h"
#include "browser/NameSheet.h"
#include "browser/PhotoGrid.h"
#include "browser/PlaylistRow.h"
#include "browser/SidebarList.h"
#include "browser/core/BrowserState.h"
#include "sheets/CardView.h"
#include "sheets/PlacesView.h"
#include "support/browser/BrowserRig.h"
#include "support/state/ModelHarness.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::BrowseMode;
using lumi::BrowserView;
using lumi::Source;
using lumi::test::BrowserRig;
using lumi::test::ModelHarness;

class BrowserViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void framesTheSelection();
    void aPlaylistShowsItsPhotosInTheGrid();
    void modeTogglesAndShortcuts();
    void placesModeOpensLevelsThroughTheSelection();
    void nextWallpaperWaitsForTheChange();
    void playlistSheetsCreateAndDelete();
    void deleteConfirmationKeepsTheFocusOnCancel();

private:
    QStringList labels() const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<BrowserRig> m_rig;
    std::unique_ptr<QWidget> m_window;
    BrowserView* m_view = nullptr;
};

void BrowserViewTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn();
    m_rig = std::make_unique<BrowserRig>(*m_harness);
    m_window = std::make_unique<QWidget>();
    m_view = new BrowserView(m_harness->model(), m_harness->window, m_rig->services(), m_window.get());
    m_window->resize(1100, 700);
    m_view->resize(1100, 700);
    m_window->show();
    // Shortcuts reach the active window only.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void BrowserViewTest::cleanup()
{
    m_window.reset();
    m_rig.reset();
    m_harness.reset();
}

QStringList BrowserViewTest::labels() const
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList texts;
    for (QLabel* label : m_view->content()->findChildren<QLabel*>())
        texts.append(label->text());
    return texts.filter(QRegularExpression(u"\\S"_s));
}

void BrowserViewTest::framesTheSelection()
{
    lumi::BrowserState& state = m_view->state();
    QCOMPARE(m_window->windowTitle(), u"Latest"_s);
    QCOMPARE(m_view->splitter().widget(0)->width(), 240);
    QVERIFY(m_view->legend().isHidden());

    // Without a selection, the empty view fits the mode.
    state.setSelection(std::nullopt);
    QCOMPARE(m_window->windowTitle(), u"Lumivale"_s);
    QCOMPARE(labels(), QStringList{u"Pick a collection"_s});

    state.setSelection(Source{Source::Album{4242}});
    QCOMPARE(m_window->windowTitle(), u"Playlist"_s);
    QVERIFY(!m_view->legend().isHidden());
    state.setSelection(std::nullopt);
    QCOMPARE(labels(), QStringList{u"No playlists yet"_s});
    auto* create = m_view->content()->findChild<QPushButton*>();
    QCOMPARE(create->text(), u"New Playlist…"_s);
    QTest::mouseClick(create, Qt::LeftButton);
    QTRY_VERIFY(m_window->findChild<lumi::NameSheet*>());
    QCOMPARE(m_window->findChild<lumi::NameSheet*>()->windowTitle(), u"New Playlist"_s);
}

void BrowserViewTest::aPlaylistShowsItsPhotosInTheGrid()
{
    lumi::BrowserState& state = m_view->state();
    state.setSelection(Source{Source::Album{m_harness->album(u"mountain-mornings"_s).id}});
    auto* grid = qobject_cast<lumi::PhotoGrid*>(m_view->content());
    QVERIFY(grid);
    // The grid's photos reach the state, which the toolbar's Play follows.
    QTRY_VERIFY(!state.gridMedia().isEmpty());
    QCOMPARE(state.gridMedia(), grid->media());
}

void BrowserViewTest::modeTogglesAndShortcuts()
{
    lumi::BrowserToolbar& toolbar = m_view->toolbar();
    lumi::BrowserState& state = m_view->state();
    QVERIFY(toolbar.modeButton(BrowseMode::home).isChecked());

    // The active toggle stays on and changes nothing.
    QTest::mouseClick(&toolbar.modeButton(BrowseMode::home), Qt::LeftButton);
    QVERIFY(toolbar.modeButton(BrowseMode::home).isChecked());
    QCOMPARE(state.selection(), std::optional(Source::latest()));

    // A shortcut clicks its toggle a moment later.
    QTest::keyClick(m_window.get(), Qt::Key_2, Qt::ControlModifier);
    QTRY_COMPARE(state.mode(), BrowseMode::playlists);
    QVERIFY(toolbar.modeButton(BrowseMode::playlists).isChecked());
    QVERIFY(!toolbar.modeButton(BrowseMode::home).isChecked());
    QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
    QTRY_COMPARE(state.mode(), BrowseMode::places);

    // A search goes through the field; the Play menu waits for photos.
    QVERIFY(!toolbar.playButton().isEnabled());
    QTest::keyClicks(&toolbar.searchField(), u" alps "_s);
    QTest::keyClick(&toolbar.searchField(), Qt::Key_Return);
    QCOMPARE(state.selection(), std::optional(Source{Source::Search{u"alps"_s}}));
    QCOMPARE(m_window->windowTitle(), u"Search: “alps”"_s);
    // Another mode empties the field; home again shows the last collection, not the search.
    QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
    QTRY_COMPARE(state.mode(), BrowseMode::places);
    QCOMPARE(toolbar.searchField().text(), QString());
    QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
    QTRY_COMPARE(state.mode(), BrowseMode::home);
    QCOMPARE(state.selection(), std::optional(Source::latest()));
}

void BrowserViewTest::placesModeOpensLevelsThroughTheSelection()
{
    lumi::BrowserState& state = m_view->state();
    QTRY_VERIFY(!state.gridMedia().isEmpty());
    QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
    QTRY_COMPARE(state.mode(), BrowseMode::places);
    const QPointer<lumi::PlacesView> home = qobject_cast<lumi::PlacesView*>(m_view->content());
    QVERIFY(home);
    QTRY_COMPARE(home->state(), lumi::PlacesView::State::home);
    QVERIFY(!home->findChild<lumi::PhotoGrid*>());
    QVERIFY(state.gridMedia().isEmpty());

    // The home empties the photo list each time it comes on screen.
    state.setGridMedia({lumi::Medium{}});
    m_window->hide();
    m_window->show();
    QVERIFY(state.gridMedia().isEmpty());

    // A card opens its level as a new selection, with the grid of that query.
    auto* card = home->findChild<lumi::CardView*>();
    QVERIFY(card);
    const std::optional<lumi::PlaceQuery> opened = lumi::PlacesView::query(card->card().id);
    QVERIFY(opened && opened->place);
    const QString name = card->card().name;
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(state.selection(), std::optional(Source{Source::Places{opened}}));
    // The places view stays from one level to the next, as its strip and grid change.
    auto* level = qobject_cast<lumi::PlacesView*>(m_view->content());
    QVERIFY(home);
    QCOMPARE(level, home.data());
    QCOMPARE(level->state(), lumi::PlacesView::State::level);
    auto* grid = level->findChild<lumi::PhotoGrid*>();
    QVERIFY(grid);
    QTRY_VERIFY(!state.gridMedia().isEmpty());
    QCOMPARE(state.gridMedia(), grid->media());
    QVERIFY(m_harness->requestLines().contains(u"GET /places/media?page=1&per_page=60&place="_s +
                                               *opened->place));
    QCOMPARE(m_window->windowTitle(), name);

    // Its trail leads home again.
    QTest::mouseClick(level->findChild<QPushButton*>(u"trail.places"_s), Qt::LeftButton);
    QCOMPARE(state.selection(), std::optional(Source{Source::Places{}}));
    QVERIFY(state.gridMedia().isEmpty());
    QCOMPARE(m_window->windowTitle(), u"Places"_s);
}

void BrowserViewTest::nextWallpaperWaitsForTheChange()
{
    QToolButton& next = m_view->toolbar().nextButton();
    m_rig->rotation.setRetryAt(m_harness->clock.now().addSecs(600));
    QVERIFY(next.isEnabled());
    QTest::mouseClick(&next, Qt::LeftButton);
    QVERIFY(!m_rig->rotation.retryAt());
    QVERIFY(!next.isEnabled());
    QTRY_VERIFY(next.isEnabled());
}

void BrowserViewTest::playlistSheetsCreateAndDelete()
{
    lumi::BrowserState& state = m_view->state();
    state.selectMode(BrowseMode::playlists, false);
    auto* list = m_view->findChild<lumi::SidebarList*>();
    emit list->newPlaylistRequested();
    auto* sheet = m_window->findChild<lumi::NameSheet*>();
    QVERIFY(sheet);
    QTest::keyClicks(&sheet->field(), u"Lakes"_s);
    QTest::keyClick(&sheet->field(), Qt::Key_Return);
    // Made, then shown.
    QTRY_VERIFY(state.selection() && state.title() == u"Lakes"_s);

    const lumi::Album lakes = m_harness->album(u"lakes"_s);
    emit list->deleteRequested(lakes);
    auto* question = m_window->findChild<QMessageBox*>();
    QVERIFY(question);
    QCOMPARE(question->text(), u"Delete “Lakes”?"_s);
    question->findChild<QPushButton*>(u"deleteSheet.delete"_s)->click();
    QCOMPARE(state.selection(), std::optional(Source{Source::Album{m_harness->album(u"favorites"_s).id}}));
    QTRY_VERIFY(!state.existingPlaylist(Source{Source::Album{lakes.id}}));
}

void BrowserViewTest::deleteConfirmationKeepsTheFocusOnCancel()
{
    lumi::BrowserState& state = m_view->state();
    state.selectMode(BrowseMode::playlists, false);
    const lumi::Album favorites = m_harness->album(u"favorites"_s);
    emit m_view->findChild<lumi::SidebarList*>()->deleteRequested(favorites);
    auto* question = m_window->findChild<QMessageBox*>();
    QVERIFY(question);
    // As the window manager does with a new window.
    question->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), question);

    // Return right away answers "Cancel".
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    QCOMPARE(focused, question->button(QMessageBox::Cancel));
    QTest::keyClick(focused, Qt::Key_Return);
    QTRY_VERIFY(!m_window->findChild<QMessageBox*>());
    QTest::qWait(0);
    QVERIFY(state.existingPlaylist(Source{Source::Album{favorites.id}}));
}

QTEST_MAIN(BrowserViewTest)
#include "BrowserViewTest.moc"
