#include "browser/NameSheet.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::NameSheet;

class NameSheetTest final : public QObject
{
    Q_OBJECT

private slots:
    void commitsOnceAsTyped_data();
    void commitsOnceAsTyped();
};

void NameSheetTest::commitsOnceAsTyped_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed"); // replaces the field's text when not null
    QTest::addColumn<QString>("how");   // "return", "button" or "cancel"
    QTest::addColumn<bool>("enabled");  // the confirm button before the answer
    QTest::addColumn<QStringList>("committed");

    QTest::newRow("rename keeps the title")
        << u"Mountain Mornings"_s << QString() << u"return"_s << true << QStringList{u"Mountain Mornings"_s};
    QTest::newRow("spaces around a name reach it")
        << QString() << u"  Sea  "_s << u"button"_s << true << QStringList{u"  Sea  "_s};
    QTest::newRow("blanks disable the button")
        << QString() << u"  "_s << u"button"_s << false << QStringList{};
    QTest::newRow("Return with blanks commits them")
        << QString() << u"   "_s << u"return"_s << false << QStringList{u"   "_s};
    QTest::newRow("Return on an empty field")
        << QString() << QString() << u"return"_s << false << QStringList{QString()};
    QTest::newRow("cancel") << u"Old"_s << u"New"_s << u"cancel"_s << true << QStringList{};
}

void NameSheetTest::commitsOnceAsTyped()
{
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(bool, enabled);
    QFETCH(QStringList, committed);

    QWidget window;
    window.resize(500, 300);
    window.show();
    NameSheet sheet(u"Rename Playlist"_s, u"Rename"_s, initial, &window);
    QStringList names;
    connect(&sheet, &NameSheet::committed, this, [&names, &sheet](const QString& name) {
        // Closed before the name is handed on.
        QVERIFY(!sheet.isVisible());
        names.append(name);
    });
    sheet.open();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    QCOMPARE(sheet.field().text(), initial);
    if (!typed.isNull()) {
        sheet.field().clear();
        QTest::keyClicks(&sheet.field(), typed);
    }
    QCOMPARE(sheet.confirmButton().isEnabled(), enabled);

    if (how == u"return")
        QTest::keyClick(&sheet.field(), Qt::Key_Return);
    else if (how == u"button")
        QTest::mouseClick(&sheet.confirmButton(), Qt::LeftButton);
    else
        QTest::mouseClick(sheet.findChild<QPushButton*>(u"nameSheet.cancel"_s), Qt::LeftButton);
    const bool closes = how != u"button" || enabled;
    QCOMPARE(!sheet.isVisible(), closes);
    // Nothing more comes of a second Return once closed.
    if (closes)
        QTest::keyClick(&sheet.field(), Qt::Key_Return);
    QCOMPARE(names, committed);
}

QTEST_MAIN(NameSheetTest)
#include "NameSheetTest.moc"
