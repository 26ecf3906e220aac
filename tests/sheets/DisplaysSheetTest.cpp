#include "sheets/DisplaysSheet.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/FakeScreens.h"
#include "support/ReviewGrab.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using lumi::Defaults;
using lumi::DisplayInfo;
using lumi::DisplaysSheet;
using lumi::test::FakeScreens;

namespace {

// Two monitors of one model side by side: the same name and size, told apart by their serials.
DisplayInfo monitor(const QString& id, int x)
{
    DisplayInfo display = FakeScreens::display(u"DELL U2720Q"_s, QRect(x, 0, 2560, 1440));
    display.displayId = id;
    return display;
}

const QString left = u"Dell|U2720Q|111"_s;
const QString right = u"Dell|U2720Q|222"_s;

} // namespace

class DisplaysSheetTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void remembersTheAnswer_data();
    void remembersTheAnswer();
    void okNeedsATickAndCancelWritesNothing();

private:
    DisplaysSheet* open();
    QCheckBox* tick(int row) { return m_sheet->findChild<QCheckBox*>(u"displays.screen.%1"_s.arg(row)); }

    QTemporaryDir m_dir;
    int m_run = 0;
    std::unique_ptr<Defaults> m_defaults;
    FakeScreens m_screens{{monitor(left, 0), monitor(right, 2560)}};
    std::optional<QStringList> m_committed;
    QWidget m_window;
    DisplaysSheet* m_sheet = nullptr;
};

void DisplaysSheetTest::init()
{
    m_defaults = std::make_unique<Defaults>(m_dir.filePath(u"defaults-%1.json"_s.arg(++m_run)));
    m_committed.reset();
    m_window.show();
}

void DisplaysSheetTest::cleanup()
{
    delete m_sheet;
    m_sheet = nullptr;
}

DisplaysSheet* DisplaysSheetTest::open()
{
    m_sheet = new DisplaysSheet(
        m_screens, *m_defaults,
        [this](QList<DisplayInfo> chosen) {
            QStringList ids;
            for (const DisplayInfo& display : chosen)
                ids.append(display.displayId);
            m_committed = ids;
        },
        &m_window);
    m_sheet->open();
    return m_sheet;
}

void DisplaysSheetTest::remembersTheAnswer_data()
{
    QTest::addColumn<QVariant>("storedOff");
    QTest::addColumn<QVariant>("storedAsk");
    QTest::addColumn<QList<bool>>("shownTicks");
    QTest::addColumn<bool>("shownAsk");
    QTest::addColumn<QList<bool>>("ticks");
    QTest::addColumn<bool>("ask");
    QTest::addColumn<QStringList>("off");
    QTest::addColumn<QStringList>("committed");

    const QVariant absent;
    QTest::newRow("nothing stored, both kept")
        << absent << absent << QList<bool>{true, true} << true << QList<bool>{true, true} << true
        << QStringList() << QStringList{left, right};
    QTest::newRow("a display not connected stays off; the ticks swap")
        << QVariant(QStringList{u"gone"_s, right}) << QVariant(false) << QList<bool>{true, false} << false
        << QList<bool>{false, true} << false << QStringList{u"gone"_s, left} << QStringList{right};
    QTest::newRow("an ask flag that is no Bool reads as asking; cleared")
        << absent << QVariant(u"no"_s) << QList<bool>{true, true} << true << QList<bool>{true, false} << false
        << QStringList{right} << QStringList{left};
    QTest::newRow("an id stored twice is kept once")
        << QVariant(QStringList{left, left}) << QVariant(true) << QList<bool>{false, true} << true
        << QList<bool>{false, true} << true << QStringList{left} << QStringList{right};
    QTest::newRow("every display off: the sheet shows none ticked")
        << QVariant(QStringList{left, right}) << absent << QList<bool>{false, false} << true
        << QList<bool>{true, true} << true << QStringList() << QStringList{left, right};
}

void DisplaysSheetTest::remembersTheAnswer()
{
    QFETCH(QVariant, storedOff);
    QFETCH(QVariant, storedAsk);
    QFETCH(QList<bool>, shownTicks);
    QFETCH(bool, shownAsk);
    QFETCH(QList<bool>, ticks);
    QFETCH(bool, ask);
    QFETCH(QStringList, off);
    QFETCH(QStringList, committed);

    if (storedOff.isValid())
        m_defaults->setValue(lumi::keys::wallpaperDisplaysOff.name, storedOff);
    if (storedAsk.isValid())
        m_defaults->setValue(lumi::keys::showDisplaysDialog.name, storedAsk);
    open();
    QCOMPARE(tick(1)->text(), u"1  DELL U2720Q (2560 × 1440)"_s);
    QCOMPARE(tick(2)->text(), u"2  DELL U2720Q (2560 × 1440)"_s);
    auto* askBox = m_sheet->findChild<QCheckBox*>(u"displays.ask"_s);
    QCOMPARE(QList<bool>({tick(1)->isChecked(), tick(2)->isChecked()}), shownTicks);
    QCOMPARE(askBox->isChecked(), shownAsk);

    tick(1)->setChecked(ticks[0]);
    tick(2)->setChecked(ticks[1]);
    askBox->setChecked(ask);
    QTest::keyClick(m_sheet, Qt::Key_Return);

    QVERIFY(!m_sheet->isVisible());
    QCOMPARE(m_sheet->result(), int(QDialog::Accepted));
    QCOMPARE(m_defaults->stringListValue(lumi::keys::wallpaperDisplaysOff.name),
             std::optional<QStringList>(off));
    QCOMPARE(m_defaults->boolValue(lumi::keys::showDisplaysDialog.name), std::optional<bool>(ask));
    QCOMPARE(m_committed, std::optional<QStringList>(committed));
}

void DisplaysSheetTest::okNeedsATickAndCancelWritesNothing()
{
    m_defaults->setValue(lumi::keys::wallpaperDisplaysOff.name, QStringList{u"gone"_s});
    open();
    lumi::test::saveForReview(*m_sheet, u"displays-sheet"_s);
    auto* ok = m_sheet->findChild<QPushButton*>(u"displays.ok"_s);
    tick(1)->setChecked(false);
    tick(2)->setChecked(false);
    QVERIFY(!ok->isEnabled());
    QTest::keyClick(m_sheet, Qt::Key_Return);
    QVERIFY(m_sheet->isVisible());

    tick(2)->setChecked(true);
    QVERIFY(ok->isEnabled());
    m_sheet->findChild<QCheckBox*>(u"displays.ask"_s)->setChecked(false);
    QTest::keyClick(m_sheet, Qt::Key_Escape);
    QVERIFY(!m_sheet->isVisible());
    QCOMPARE(m_committed, std::nullopt);
    QCOMPARE(m_defaults->stringListValue(lumi::keys::wallpaperDisplaysOff.name),
             std::optional<QStringList>(QStringList{u"gone"_s}));
    QVERIFY(!m_defaults->contains(lumi::keys::showDisplaysDialog.name));
}

QTEST_MAIN(DisplaysSheetTest)
#include "DisplaysSheetTest.moc"
