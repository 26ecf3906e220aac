#include "settings/DirectSupportSettings.h"
#include "model/DefaultsKeys.h"
#include "support/TestFiles.h"
#include "support/settings/SettingsRig.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::DirectSupportSettings;
using lumi::test::ModelHarness;
using lumi::test::SettingsRig;

namespace {

const QString dataDirEvent = u"events.track(settings-changed,setting=data-dir)"_s;

} // namespace

class DirectSupportSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusedMovesSayWhy_data();
    void refusedMovesSayWhy();
    void aMoveEndsInARelaunch_data();
    void aMoveEndsInARelaunch();
    void clearingReportsAndRedrawsLater_data();
    void clearingReportsAndRedrawsLater();

private:
    QString path(const QString& relative) const { return m_folders->filePath(relative); }
    template <typename T> T* child(const QString& name) const
    {
        T* found = m_pane->findChild<T*>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<SettingsRig> m_rig;
    std::unique_ptr<QTemporaryDir> m_folders;
    std::unique_ptr<DirectSupportSettings> m_pane;
};

void DirectSupportSettingsTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_folders = std::make_unique<QTemporaryDir>();
    // The photo directory holds a photo folder with one photo.
    QVERIFY(lumi::test::writeFile(path(u"photos/Lumivale Playlist/Trips/a.jpg"_s)));
    m_harness->defaults.setValue(lumi::keys::dataDir, path(u"photos"_s));
    QVERIFY(lumi::test::writeFile(path(u"afile"_s)));
    m_harness->launchSignedIn();
    m_rig = std::make_unique<SettingsRig>(*m_harness);
    m_pane = std::make_unique<DirectSupportSettings>(m_rig->services());
    m_pane->show();
}

void DirectSupportSettingsTest::cleanup()
{
    m_pane.reset();
    m_rig.reset();
    m_harness.reset();
    m_folders.reset();
}

void DirectSupportSettingsTest::refusedMovesSayWhy_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("message");

    QTest::newRow("same") << u"photos"_s
                          << u"That is already the photo directory. Please select a different directory."_s;
    QTest::newRow("inside") << u"photos/Lumivale Playlist/new"_s
                            << u"Please choose a folder outside the current Lumivale folders."_s;
    QTest::newRow("cloud")
        << u"Dropbox/photos"_s
        << u"Please choose a folder that isn't synced by OneDrive, Dropbox or Google Drive."_s;
    QTest::newRow("not writable")
        << u"afile/photos"_s
        << u"Lumivale can't write to that folder. Please select a different directory."_s;
}

void DirectSupportSettingsTest::refusedMovesSayWhy()
{
    QFETCH(QString, chosen);
    QFETCH(QString, message);

    auto* move = child<QPushButton>(u"directSupport.move"_s);
    auto* error = child<QLabel>(u"directSupport.error"_s);
    QCOMPARE(child<QLabel>(u"directSupport.path"_s)->text(), path(u"photos"_s));
    QVERIFY(!error->isVisible());

    m_harness->pickers.folderAnswer = path(chosen);
    move->click();
    QTRY_VERIFY(error->isVisible());
    QCOMPARE(error->text(), message);
    QVERIFY(move->isEnabled());

    // A cancelled panel leaves the error where it was.
    m_harness->pickers.folderAnswer = std::nullopt;
    move->click();
    QTest::qWait(50);
    QCOMPARE(error->text(), message);
    QVERIFY(error->isVisible());

    QVERIFY(m_rig->processes.started.isEmpty());
    QCOMPARE(m_rig->processes.quits, 0);
    QCOMPARE(m_harness->journal.count(dataDirEvent), 0);
    QCOMPARE(m_harness->defaults.stringValue(lumi::keys::dataDir), path(u"photos"_s));
}

void DirectSupportSettingsTest::aMoveEndsInARelaunch_data()
{
    QTest::addColumn<bool>("oldFolders");
    QTest::addColumn<QString>("answer"); // to dialog B
    QTest::addColumn<bool>("trashed");

    QTest::newRow("no old folders: at once") << false << QString() << false;
    QTest::newRow("move to trash") << true << u"trash"_s << true;
    QTest::newRow("keep them") << true << u"keep"_s << false;
    QTest::newRow("escape keeps them") << true << u"escape"_s << false;
}

void DirectSupportSettingsTest::aMoveEndsInARelaunch()
{
    QFETCH(bool, oldFolders);
    QFETCH(QString, answer);
    QFETCH(bool, trashed);

    const QString old = path(u"photos"_s);
    if (!oldFolders) {
        // The sync made its folders there; this old directory never had any.
        for (const QString& folder : {u"photos/Lumivale"_s, u"photos/Lumivale Playlist"_s})
            QVERIFY(QDir(path(folder)).removeRecursively());
    }
    m_harness->pickers.folderAnswer = path(u"new"_s);
    child<QPushButton>(u"directSupport.move"_s)->click();

    if (oldFolders) {
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = m_pane->findChild<QMessageBox*>(u"directSupport.oldFolders"_s)));
        QCOMPARE(box->text(), u"Move the old photo folders to the Trash?"_s);
        QVERIFY(box->informativeText().contains(u"The copies in "_s + old + u" are no longer used."_s));
        // The folder's path is the user's text: never read as markup.
        QList<QLabel*> shown = box->findChildren<QLabel*>();
        shown.removeIf([box](const QLabel* label) { return label->text() != box->informativeText(); });
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->textFormat(), Qt::PlainText);
        QCOMPARE(m_rig->processes.quits, 0);
        if (answer == u"escape"_s) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            const QString title = answer == u"trash"_s ? u"Move to Trash"_s : u"Keep Them"_s;
            const QList<QAbstractButton*> buttons = box->buttons();
            for (QAbstractButton* button : buttons) {
                if (button->text() == title)
                    button->click();
            }
        }
    }
    QTRY_COMPARE(m_rig->processes.quits, 1);
    QCOMPARE(m_rig->processes.started.first(), u"/bin/sh"_s);
    QCOMPARE(m_harness->journal.count(dataDirEvent), 1);
    QCOMPARE(m_harness->defaults.stringValue(lumi::keys::dataDir), path(u"new"_s));
    QVERIFY(QFileInfo::exists(path(u"new/Lumivale Playlist/Trips/a.jpg"_s)) || !oldFolders);
    if (oldFolders)
        QCOMPARE(QFileInfo::exists(old + u"/Lumivale Playlist/Trips/a.jpg"_s), !trashed);
}

void DirectSupportSettingsTest::clearingReportsAndRedrawsLater_data()
{
    QTest::addColumn<bool>("paneClosed");

    QTest::newRow("pane stays") << false;
    QTest::newRow("pane closed meanwhile") << true;
}

void DirectSupportSettingsTest::clearingReportsAndRedrawsLater()
{
    QFETCH(bool, paneClosed);

    auto* clear = child<QPushButton>(u"directSupport.clear"_s);
    auto* status = child<QLabel>(u"directSupport.clearStatus"_s);
    QCOMPARE(status->text(), u"Clear the wallpaper cache."_s);

    clear->click();
    auto* confirm = child<QMessageBox>(u"directSupport.confirmClear"_s);
    QCOMPARE(confirm->text(), u"Clear the wallpaper cache?"_s);
    QTest::keyClick(confirm, Qt::Key_Escape);
    QTRY_VERIFY(!m_pane->findChild<QMessageBox*>(u"directSupport.confirmClear"_s));
    QCOMPARE(status->text(), u"Clear the wallpaper cache."_s);

    clear->click();
    child<QPushButton>(u"directSupport.confirmClear.clear"_s)->click();
    QTRY_COMPARE(status->text(), u"Wallpaper cache cleared successfully."_s);
    QVERIFY(clear->isEnabled());
    if (paneClosed)
        m_pane.reset();

    m_harness->clock.advance(std::chrono::milliseconds(2900));
    QTest::qWait(20);
    QCOMPARE(m_harness->journal.count(u"rotation.redraw"_s), 0);
    m_harness->clock.advance(std::chrono::milliseconds(100));
    QTRY_COMPARE(m_harness->journal.count(u"rotation.redraw"_s), 1);
}

QTEST_MAIN(DirectSupportSettingsTest)
#include "DirectSupportSettingsTest.moc"
