#include "browser/PlaylistRow.h"
#include "browser/MembershipMark.h"
#include "browser/PhotoDrag.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "library/LocalPhotos.h"
#include "support/browser/BrowserServicesOf.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QJsonObject>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::BrowserState;
using lumi::MembershipMark;
using lumi::PlaylistRow;
using lumi::test::ModelHarness;
using lumi::test::RecordingRevealer;

class PlaylistRowTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void markSendsTheOppositeOfWhatItShows_data();
    void markSendsTheOppositeOfWhatItShows();
    void menuOffersWhatTheAlbumAllows_data();
    void menuOffersWhatTheAlbumAllows();
    void clickSelectsAndFollowsTheSelection();
    void dropAddsTheAppsOwnPhotosToAnotherPlaylist_data();
    void dropAddsTheAppsOwnPhotosToAnotherPlaylist();
    void leavingARowKeepsAnotherRowsHighlight();

private:
    std::unique_ptr<PlaylistRow> row(const Album& album);
    Album album(qint64 id) const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<BrowserState> m_state;
    RecordingRevealer m_revealer;
};

void PlaylistRowTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn();
    m_state = std::make_unique<BrowserState>(lumi::test::browserStateServices(*m_harness));
    m_revealer.revealed.clear();
}

void PlaylistRowTest::cleanup()
{
    m_state.reset();
    m_harness.reset();
}

std::unique_ptr<PlaylistRow> PlaylistRowTest::row(const Album& album)
{
    auto row =
        std::make_unique<PlaylistRow>(album, *m_state, lumi::test::sidebarServices(*m_harness, m_revealer));
    row->resize(240, 30);
    row->show();
    return row;
}

Album PlaylistRowTest::album(qint64 id) const
{
    for (const Album& album : m_harness->model().account().albums()) {
        if (album.id == id)
            return album;
    }
    return {};
}

void PlaylistRowTest::markSendsTheOppositeOfWhatItShows_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("mark"); // "paper" or "saver"
    QTest::addColumn<bool>("included");

    // Mountain Mornings (102) is in the rotation, Editor's Picks (103) in the saver, Favorites
    // (101) in neither.
    QTest::newRow("rotation, included") << qint64(102) << u"paper"_s << false;
    QTest::newRow("rotation, not included") << qint64(103) << u"paper"_s << true;
    QTest::newRow("saver, included") << qint64(103) << u"saver"_s << false;
    QTest::newRow("saver, unset") << qint64(101) << u"saver"_s << true;
}

void PlaylistRowTest::markSendsTheOppositeOfWhatItShows()
{
    QFETCH(qint64, id);
    QFETCH(QString, mark);
    QFETCH(bool, included);

    const Album album = this->album(id);
    QCOMPARE(album.id, id);
    const auto shown = row(album);
    auto* button = shown->findChild<MembershipMark*>(mark);
    QCOMPARE(button->isIncluded(), !included);
    QCOMPARE(button->toolTip().startsWith(included ? u"Add to"_s : u"In "_s), true);
    m_harness->sandbox.clearRequests();
    QTest::mouseClick(button, Qt::LeftButton);

    QTRY_VERIFY(!m_harness->apiRequests().isEmpty());
    const QJsonValue request = m_harness->apiRequests().first();
    QCOMPARE(request[u"method"_s].toString() + u' ' + request[u"path"_s].toString(),
             u"PUT /api/v6/albums/include"_s);
    QCOMPARE(ModelHarness::bodyOf(request),
             QJsonObject({{u"playlist"_s, album.title}, {u"type"_s, mark}, {u"included"_s, included}}));
    // The new membership shows once the albums are read again.
    QTRY_COMPARE(
        (mark == u"paper" ? this->album(id).includeInPaper : this->album(id).includeInSaver).value_or(false),
        included);
}

void PlaylistRowTest::menuOffersWhatTheAlbumAllows_data()
{
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QString>("folder"); // "none", "empty", "present" or "missing"
    QTest::addColumn<QStringList>("items");

    const QStringList toggles{u"In Wallpaper Rotation"_s, u"In Screen Saver"_s};
    const QStringList ends{u"Rename…"_s, u"Delete…"_s};
    const QStringList unlinked{u"Add Photos from Computer…"_s, u"Link Folder…"_s};
    QTest::newRow("favorites") << u"favorites"_s << u"none"_s << toggles;
    QTest::newRow("plain") << u"mountain-mornings"_s << u"none"_s << toggles + unlinked + ends;
    QTest::newRow("empty path") << u"mountain-mornings"_s << u"empty"_s << toggles + unlinked + ends;
    QTest::newRow("linked here") << u"mountain-mornings"_s << u"present"_s
                                 << toggles +
                                        QStringList{u"Show Linked Folder in File Manager"_s,
                                                    u"Unlink Folder"_s} +
                                        ends;
    QTest::newRow("linked elsewhere") << u"mountain-mornings"_s << u"missing"_s
                                      << toggles + QStringList{u"Link Folder on This Computer…"_s} + ends;
}

void PlaylistRowTest::menuOffersWhatTheAlbumAllows()
{
    QFETCH(QString, fragment);
    QFETCH(QString, folder);
    QFETCH(QStringList, items);

    QTemporaryDir linked;
    Album album = m_harness->album(fragment);
    if (folder == u"empty")
        album.localPath = QString();
    else if (folder == u"present") {
        album.localPath = linked.path();
        lumi::LocalPhotos::recordLink(m_harness->defaults, album.id, linked.path());
    } else if (folder == u"missing")
        album.localPath = linked.path() + u"/not-here"_s;
    const auto shown = row(album);
    QSignalSpy renames(shown.get(), &PlaylistRow::renameRequested);
    QSignalSpy deletions(shown.get(), &PlaylistRow::deleteRequested);

    const std::unique_ptr<QMenu> menu = shown->contextMenu();
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts.append(action->text());
    }
    QCOMPARE(texts, items);

    for (QAction* action : menu->actions()) {
        if (action->text() == u"Show Linked Folder in File Manager")
            action->trigger();
        if (action->text() == u"Rename…" || action->text() == u"Delete…")
            action->trigger();
    }
    QCOMPARE(m_revealer.revealed, folder == u"present" ? QStringList{linked.path()} : QStringList{});
    QCOMPARE(renames.size(), items.contains(u"Rename…"_s) ? 1 : 0);
    QCOMPARE(deletions.size(), items.contains(u"Delete…"_s) ? 1 : 0);
}

void PlaylistRowTest::clickSelectsAndFollowsTheSelection()
{
    const Album album = m_harness->album(u"mountain-mornings"_s);
    const auto shown = row(album);
    QVERIFY(!shown->row().isSelected());
    QTest::mouseClick(&shown->row(), Qt::LeftButton, {}, QPoint(20, 15));
    QCOMPARE(m_state->selection(), std::optional(lumi::Source{lumi::Source::Album{album.id}}));
    QVERIFY(shown->row().isSelected());
    m_state->setSelection(lumi::Source{lumi::Source::Today{}});
    QVERIFY(!shown->row().isSelected());
}

namespace {

// The offscreen platform runs no drag session, so QDropEvent::source() is always null here: a
// synthetic drag is foreign unless the row is told it is the app's own.
void treatDragsAsOwn(PlaylistRow& row)
{
    row.setDragOrigin([](const QDropEvent&) { return true; });
}

void enter(PlaylistRow& row, const QMimeData& data)
{
    QDragEnterEvent event(QPoint(20, 15), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&row, &event);
}

void leave(PlaylistRow& row)
{
    QDragLeaveEvent event;
    QCoreApplication::sendEvent(&row, &event);
}

bool drop(PlaylistRow& row, const QMimeData& data)
{
    enter(row, data);
    QDropEvent event(QPointF(20, 15), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&row, &event);
    return event.isAccepted();
}

} // namespace

void PlaylistRowTest::dropAddsTheAppsOwnPhotosToAnotherPlaylist_data()
{
    QTest::addColumn<bool>("own");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<int>("photos");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("notice");

    QTest::newRow("foreign drag") << false << u"photos"_s << 1 << false << QString();
    QTest::newRow("shown playlist") << true << u"photos"_s << 1 << true << QString();
    QTest::newRow("empty drag") << true << u"photos"_s << 0 << false << QString();
    QTest::newRow("no media key") << true << u"broken"_s << 0 << false << QString();
    QTest::newRow("one photo") << true << u"photos"_s << 1 << false << u"Added to Editor's Picks"_s;
    QTest::newRow("three photos") << true << u"photos"_s << 3 << false
                                  << u"Added 3 photos to Editor's Picks"_s;
}

void PlaylistRowTest::dropAddsTheAppsOwnPhotosToAnotherPlaylist()
{
    QFETCH(bool, own);
    QFETCH(QString, payload);
    QFETCH(int, photos);
    QFETCH(bool, shown);
    QFETCH(QString, notice);

    const Album picks = m_harness->album(u"editor-s-picks"_s);
    const QList<lumi::Medium> dragged = photos > 0 ? m_harness->catalogPhotos(photos) : QList<lumi::Medium>();
    if (shown)
        m_state->setSelection(lumi::Source{lumi::Source::Album{picks.id}});
    const auto target = row(picks);
    if (own)
        treatDragsAsOwn(*target);
    std::unique_ptr<QMimeData> data(lumi::PhotoDrag{dragged}.toMimeData());
    if (payload == u"broken")
        data->setData(lumi::PhotoDrag::mimeType(), R"({"photos": []})");

    const bool accepted = drop(*target, *data);

    QCOMPARE(accepted, !notice.isEmpty());
    QCOMPARE(m_state->dropTarget(), std::nullopt);
    if (notice.isEmpty()) {
        QCOMPARE(m_harness->requestLines(), QStringList());
        QCOMPARE(m_harness->guidance().notice(), std::nullopt);
        return;
    }
    QTRY_COMPARE(m_harness->guidance().notice(), std::optional(notice));
    QCOMPARE(m_harness->requestLines().filter(u"POST /albums/editor-s-picks"_s).size(), photos);
}

void PlaylistRowTest::leavingARowKeepsAnotherRowsHighlight()
{
    const auto picks = row(m_harness->album(u"editor-s-picks"_s));
    const auto mornings = row(m_harness->album(u"mountain-mornings"_s));
    treatDragsAsOwn(*picks);
    treatDragsAsOwn(*mornings);
    std::unique_ptr<QMimeData> data(lumi::PhotoDrag{m_harness->catalogPhotos(1)}.toMimeData());

    enter(*picks, *data);
    QVERIFY(picks->row().isOutlined());
    // Another row may claim the drag before this one hears that it left.
    m_state->setDropTarget(mornings->album().id);
    leave(*picks);
    QVERIFY(!picks->row().isOutlined());
    QVERIFY(mornings->row().isOutlined());
    QCOMPARE(m_state->dropTarget(), std::optional(mornings->album().id));

    enter(*mornings, *data);
    leave(*mornings);
    QVERIFY(!mornings->row().isOutlined());
    QCOMPARE(m_state->dropTarget(), std::nullopt);
}

QTEST_MAIN(PlaylistRowTest)
#include "PlaylistRowTest.moc"
