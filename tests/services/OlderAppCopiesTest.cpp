#include "services/OlderAppCopies.h"
#include "support/TestFiles.h"
#include "support/services/OlderAppBuilds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::OlderAppCopies;
using lumi::test::OlderAppBuilds;

/// Which files and folders of a home count as copies of the older app to quit and trash.
class OlderAppCopiesTest final : public QObject
{
    Q_OBJECT

private slots:
    void findsOnlyTheOlderAppsCopies_data();
    void findsOnlyTheOlderAppsCopies();
};

void OlderAppCopiesTest::findsOnlyTheOlderAppsCopies_data()
{
    // Each entry "kind:where"; where begins with "~/" in the home, with "/" outside it.
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("found");

    QTest::newRow("unpacked copy and AppImage")
        << QStringList{u"copy:~/Downloads/old/Lumivale"_s, u"appimage:~/Desktop/Lumivale-1.4.0.AppImage"_s}
        << QStringList{u"~/Downloads/old/Lumivale"_s, u"~/Desktop/Lumivale-1.4.0.AppImage"_s};
    QTest::newRow("a file named like an AppImage")
        << QStringList{u"file:~/Downloads/Lumivale notes.AppImage"_s} << QStringList{};
    QTest::newRow("the user's files: a lumivale beside resources/app.asar")
        << QStringList{u"file:~/Desktop/work/lumivale"_s, u"file:~/Desktop/work/resources/app.asar"_s}
        << QStringList{};
    QTest::newRow("Desktop linked out of the home")
        << QStringList{u"copy:/Desktop/Lumivale"_s, u"link:~/Desktop=/Desktop"_s} << QStringList{};
    QTest::newRow("Applications linked inside the home, by its real path")
        << QStringList{u"copy:~/apps/Lumivale"_s, u"link:~/Applications=~/apps"_s}
        << QStringList{u"~/apps/Lumivale"_s};
    QTest::newRow("two folders leading to one place")
        << QStringList{u"copy:~/Downloads/Lumivale"_s, u"link:~/Desktop=~/Downloads"_s}
        << QStringList{u"~/Downloads/Lumivale"_s};
    QTest::newRow("the copy this app runs from")
        << QStringList{u"copy:~/Applications/Lumivale"_s, u"own:~/Applications/Lumivale/lumivale"_s}
        << QStringList{};
}

void OlderAppCopiesTest::findsOnlyTheOlderAppsCopies()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, found);

    QTemporaryDir home;
    QTemporaryDir outside;
    QVERIFY(home.isValid() && outside.isValid());
    const auto place = [&](QString where) {
        return where.startsWith(u"~/"_s) ? where.replace(0, 1, home.path()) : outside.path() + where;
    };
    QString own = home.path() + u"/.local/bin/lumivale-desktop"_s;
    for (const QString& entry : std::as_const(layout)) {
        const QString kind = entry.section(u':', 0, 0);
        const QString where = entry.section(u':', 1);
        if (kind == u"copy"_s) {
            QVERIFY(!OlderAppBuilds::makeFolder(place(where)).isEmpty());
        } else if (kind == u"appimage"_s) {
            QVERIFY(OlderAppBuilds::makeAppImage(place(where)));
        } else if (kind == u"file"_s) {
            QVERIFY(lumi::test::writeFile(place(where), "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(place(where), QFile::permissions(place(where)) | QFile::ExeOwner));
        } else if (kind == u"link"_s) {
            QVERIFY(QFile::link(place(where.section(u'=', 1)), place(where.section(u'=', 0, 0))));
        } else if (kind == u"own"_s) {
            own = place(where);
        }
    }

    QStringList expected;
    for (const QString& where : std::as_const(found))
        expected.append(place(where));
    QCOMPARE(OlderAppCopies::find(home.path(), own), expected);
}

QTEST_GUILESS_MAIN(OlderAppCopiesTest)
#include "OlderAppCopiesTest.moc"
