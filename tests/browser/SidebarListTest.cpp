#include "browser/SidebarList.h"
#include "browser/PlaylistRow.h"
#include "browser/SidebarHeader.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "support/browser/BrowserServicesOf.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::BrowseMode;
using lumi::BrowserState;
using lumi::SidebarHeader;
using lumi::SidebarList;
using lumi::SidebarRow;
using lumi::Source;
using lumi::test::ModelHarness;

class SidebarListTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sectionsOfEachMode();
    void clickedRowIsTheHighlightedOne_data();
    void clickedRowIsTheHighlightedOne();

private:
    /// The headers and rows on show, in order: headers in brackets, a highlighted row starred.
    QStringList shown() const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<BrowserState> m_state;
    lumi::test::RecordingRevealer m_revealer;
    std::unique_ptr<SidebarList> m_list;
};

void SidebarListTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn();
    m_state = std::make_unique<BrowserState>(lumi::test::browserStateServices(*m_harness));
    m_list = std::make_unique<SidebarList>(*m_state, m_harness->model(), m_harness->catalog(),
                                           lumi::test::sidebarServices(*m_harness, m_revealer));
    m_list->resize(240, 800);
    m_list->show();
}

void SidebarListTest::cleanup()
{
    m_list.reset();
    m_state.reset();
    m_harness.reset();
}

QStringList SidebarListTest::shown() const
{
    // Rows of an earlier build go at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList lines;
    for (QWidget* child : m_list->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (auto* header = qobject_cast<SidebarHeader*>(child))
            lines.append(u"[%1]"_s.arg(header->text()));
        else if (auto* row = qobject_cast<SidebarRow*>(child))
            lines.append(row->title() + (row->isSelected() ? u"*"_s : QString()));
        else if (auto* playlist = qobject_cast<lumi::PlaylistRow*>(child))
            lines.append(playlist->row().title() + (playlist->row().isSelected() ? u"*"_s : QString()));
        else if (auto* button = qobject_cast<QPushButton*>(child))
            lines.append(u"<%1>"_s.arg(button->text()));
    }
    return lines;
}

void SidebarListTest::sectionsOfEachMode()
{
    // The service's collections, "Latest" first and highlighted from the start, then Today.
    QStringList home = shown();
    QCOMPARE(home.size(), 11);
    QCOMPARE(home.first(), u"[COLLECTIONS]"_s);
    QCOMPARE(home.at(1), u"Latest*"_s);
    QCOMPARE(home.last(), u"Today"_s);
    QCOMPARE(home.filter(u"*"_s), QStringList{u"Latest*"_s});

    // The countries come with the tree.
    m_state->selectMode(BrowseMode::places, false);
    QCOMPARE(shown(), QStringList({u"[PLACES]"_s, u"Featured Places*"_s, u"[COUNTRIES]"_s}));
    QTRY_VERIFY(m_harness->catalog().placesTree());
    const QStringList places = shown();
    QCOMPARE(places.size(), 3 + 6);
    QCOMPARE(places.mid(0, 3), QStringList({u"[PLACES]"_s, u"Featured Places*"_s, u"[COUNTRIES]"_s}));

    m_state->selectMode(BrowseMode::playlists, false);
    QCOMPARE(shown(), QStringList({u"[MY PLAYLISTS]"_s, u"Favorites*"_s, u"Editor's Picks"_s,
                                   u"Mountain Mornings"_s, u"<New Playlist…>"_s}));
    QSignalSpy newPlaylist(m_list.get(), &SidebarList::newPlaylistRequested);
    QTest::mouseClick(m_list->findChild<QPushButton*>(u"sidebar.newPlaylist"_s), Qt::LeftButton);
    QCOMPARE(newPlaylist.size(), 1);
}

void SidebarListTest::clickedRowIsTheHighlightedOne_data()
{
    QTest::addColumn<BrowseMode>("mode");
    QTest::addColumn<int>("index"); // of the row among the shown lines

    QTest::newRow("a collection") << BrowseMode::home << 3;
    QTest::newRow("Today") << BrowseMode::home << 9;
    QTest::newRow("a country") << BrowseMode::places << 5;
    QTest::newRow("a playlist") << BrowseMode::playlists << 3;
}

void SidebarListTest::clickedRowIsTheHighlightedOne()
{
    QFETCH(BrowseMode, mode);
    QFETCH(int, index);

    m_state->selectMode(mode, false);
    if (mode == BrowseMode::places)
        QTRY_COMPARE(shown().size(), 9);
    QSignalSpy changed(m_state.get(), &BrowserState::selectionChanged);
    QWidget* target = m_list->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).at(index);
    auto* row = qobject_cast<SidebarRow*>(target);
    if (auto* playlist = qobject_cast<lumi::PlaylistRow*>(target))
        row = &playlist->row();
    QVERIFY(row);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, 15));
    QCOMPARE(changed.size(), 1);
    const QStringList lines = shown();
    QCOMPARE(lines.filter(u"*"_s), QStringList{lines.at(index)});
    QVERIFY(lines.at(index).endsWith(u'*'));
    QCOMPARE(m_state->title(), row->title());
}

QTEST_MAIN(SidebarListTest)
#include "SidebarListTest.moc"
