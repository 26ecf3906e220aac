#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "platform/Paths.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString key = u"key"_s;

enum class Kind { Bool, Integer, Double, String, StringList, Map, Bytes, Date, None };

// The type of a value and of everything inside it: QVariant equality alone says 1 == true.
QString typeTree(const QVariant& value)
{
    QString tree = QString::fromLatin1(value.metaType().name());
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant& item : value.toList())
            items.append(typeTree(item));
        tree += u'[' + items.join(u',') + u']';
    } else if (value.typeId() == QMetaType::QVariantMap) {
        QStringList items;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            items.append(it.key() + u':' + typeTree(it.value()));
        tree += u'{' + items.join(u',') + u'}';
    }
    return tree;
}

// What the typed keys read: grid columns, gallery info show, show displays dialog, displays off.
QVariantList typedReads(const Defaults& defaults)
{
    return {defaults.get(keys::gridColumns), defaults.get(keys::galleryInfoShow),
            defaults.get(keys::showDisplaysDialog), defaults.get(keys::wallpaperDisplaysOff)};
}

QDateTime someDate()
{
    return QDateTime(QDate(2026, 12, 9), QTime(7, 8, 52, 123), Qt::UTC);
}

} // namespace

} // namespace lumi

Q_DECLARE_METATYPE(lumi::Kind)

namespace lumi {

class DefaultsTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void valuesKeepTheirTypeAcrossARestart_data();
    void valuesKeepTheirTypeAcrossARestart();
    void typedReadsGiveOnlyTheirOwnType_data();
    void typedReadsGiveOnlyTheirOwnType();
    void typedKeysReadTheirDefaultUnlessTheirType_data();
    void typedKeysReadTheirDefaultUnlessTheirType();
    void typedKeysKeepWhatIsSet();
    void corruptFileIsKeptAside_data();
    void corruptFileIsKeptAside();
    void changedOnlyOnRealChange_data();
    void changedOnlyOnRealChange();
    void removeDropsTheKeyForGood();

private:
    static QString filePath() { return Paths::defaultsFile(); }

    std::unique_ptr<test::TemporaryHome> m_home;
};

void DefaultsTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
}

void DefaultsTest::cleanup()
{
    m_home.reset();
}

void DefaultsTest::valuesKeepTheirTypeAcrossARestart_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("bool") << QVariant(true) << QVariant(true);
    QTest::newRow("int") << QVariant(42) << QVariant(qint64(42));
    QTest::newRow("large integer") << QVariant(qint64(1) << 53) << QVariant(qint64(1) << 53);
    QTest::newRow("double") << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("whole double") << QVariant(2.0) << QVariant(2.0);
    QTest::newRow("string") << QVariant(u"1"_s) << QVariant(u"1"_s);
    QTest::newRow("list") << QVariant(QVariantList{1, u"a"_s, false, 0.0})
                          << QVariant(QVariantList{qint64(1), u"a"_s, false, 0.0});
    QTest::newRow("string list") << QVariant(QStringList{u"a"_s, u"b"_s})
                                 << QVariant(QVariantList{u"a"_s, u"b"_s});
    QTest::newRow("map with bytes and date")
        << QVariant(QVariantMap{{u"b"_s, QByteArray("\x00\xff", 2)}, {u"d"_s, someDate()}, {u"n"_s, 7}})
        << QVariant(
               QVariantMap{{u"b"_s, QByteArray("\x00\xff", 2)}, {u"d"_s, someDate()}, {u"n"_s, qint64(7)}});
    QTest::newRow("bytes") << QVariant(QByteArray("\x01\x02\xfe", 3))
                           << QVariant(QByteArray("\x01\x02\xfe", 3));
    QTest::newRow("date with milliseconds") << QVariant(someDate()) << QVariant(someDate());
    QTest::newRow("local date comes back as the same instant")
        << QVariant(someDate().toOffsetFromUtc(3600)) << QVariant(someDate());
}

void DefaultsTest::valuesKeepTheirTypeAcrossARestart()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    {
        Defaults defaults(filePath());
        defaults.setValue(key, value);
        // What a read right after the write sees is what a restart sees.
        QCOMPARE(typeTree(defaults.value(key)), typeTree(expected));
        QCOMPARE(defaults.value(key), expected);
    }
    // Written atomically: the folder holds the settings file and nothing else.
    QCOMPARE(QDir(QFileInfo(filePath()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"defaults.json"_s});

    Defaults restarted(filePath());
    const QVariant restored = restarted.value(key);
    QCOMPARE(typeTree(restored), typeTree(expected));
    QCOMPARE(restored, expected);
}

void DefaultsTest::typedReadsGiveOnlyTheirOwnType_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("readsAsDouble");

    QTest::newRow("bool") << QVariant(true) << Kind::Bool << false;
    QTest::newRow("integer 1") << QVariant(1) << Kind::Integer << true;
    QTest::newRow("integer 0") << QVariant(0) << Kind::Integer << true;
    QTest::newRow("whole double") << QVariant(3.0) << Kind::Double << true;
    QTest::newRow("string true") << QVariant(u"true"_s) << Kind::String << false;
    QTest::newRow("string 1") << QVariant(u"1"_s) << Kind::String << false;
    QTest::newRow("strings") << QVariant(QStringList{u"x"_s}) << Kind::StringList << false;
    QTest::newRow("mixed list") << QVariant(QVariantList{u"x"_s, 1}) << Kind::None << false;
    QTest::newRow("map") << QVariant(QVariantMap{{u"a"_s, 1}}) << Kind::Map << false;
    QTest::newRow("bytes") << QVariant(QByteArray("abc")) << Kind::Bytes << false;
    QTest::newRow("date") << QVariant(someDate()) << Kind::Date << false;
}

void DefaultsTest::typedReadsGiveOnlyTheirOwnType()
{
    QFETCH(QVariant, value);
    QFETCH(Kind, kind);
    QFETCH(bool, readsAsDouble);
    Defaults(filePath()).setValue(key, value);
    const Defaults defaults(filePath());

    QCOMPARE(defaults.boolValue(key).has_value(), kind == Kind::Bool);
    QCOMPARE(defaults.integerValue(key).has_value(), kind == Kind::Integer);
    QCOMPARE(defaults.doubleValue(key).has_value(), readsAsDouble);
    QCOMPARE(defaults.stringValue(key).has_value(), kind == Kind::String);
    QCOMPARE(defaults.stringListValue(key).has_value(), kind == Kind::StringList);
    QCOMPARE(defaults.mapValue(key).has_value(), kind == Kind::Map);
    QCOMPARE(defaults.bytesValue(key).has_value(), kind == Kind::Bytes);
    QCOMPARE(defaults.dateValue(key).has_value(), kind == Kind::Date);
    if (readsAsDouble)
        QCOMPARE(*defaults.doubleValue(key), value.toDouble());

    const QString missing = u"missing"_s;
    QVERIFY(!defaults.contains(missing));
    QVERIFY(!defaults.value(missing).isValid());
    QCOMPARE(defaults.boolValue(missing), std::nullopt);
    QCOMPARE(defaults.stringValue(missing), std::nullopt);
}

void DefaultsTest::typedKeysReadTheirDefaultUnlessTheirType_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariantList>("expected");

    const QStringList none;
    QTest::newRow("nothing stored") << QVariant() << QVariantList{u"auto"_s, false, true, none};
    QTest::newRow("text") << QVariant(u"true"_s) << QVariantList{u"true"_s, false, true, none};
    QTest::newRow("true") << QVariant(true) << QVariantList{u"auto"_s, true, true, none};
    QTest::newRow("false") << QVariant(false) << QVariantList{u"auto"_s, false, false, none};
    QTest::newRow("texts") << QVariant(QStringList{u"DP-1"_s})
                           << QVariantList{u"auto"_s, false, true, QStringList{u"DP-1"_s}};
    QTest::newRow("integer") << QVariant(1) << QVariantList{u"auto"_s, false, true, none};
    QTest::newRow("mixed list") << QVariant(QVariantList{u"DP-1"_s, 1})
                                << QVariantList{u"auto"_s, false, true, none};
}

void DefaultsTest::typedKeysReadTheirDefaultUnlessTheirType()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariantList, expected);
    if (stored.isValid()) {
        Defaults written(filePath());
        for (const QString& name : {keys::gridColumns.name, keys::galleryInfoShow.name,
                                    keys::showDisplaysDialog.name, keys::wallpaperDisplaysOff.name})
            written.setValue(name, stored);
    }
    QCOMPARE(typedReads(Defaults(filePath())), expected);
}

void DefaultsTest::typedKeysKeepWhatIsSet()
{
    {
        Defaults defaults(filePath());
        defaults.set(keys::gridColumns, u"3"_s);
        defaults.set(keys::galleryInfoShow, true);
        defaults.set(keys::showDisplaysDialog, false);
        defaults.set(keys::wallpaperDisplaysOff, QStringList{u"HDMI-1"_s, u"DP-2"_s});
    }
    QCOMPARE(typedReads(Defaults(filePath())),
             (QVariantList{u"3"_s, true, false, QStringList{u"HDMI-1"_s, u"DP-2"_s}}));
}

void DefaultsTest::corruptFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("broken JSON") << QByteArray(R"({"key": tru)");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not an object") << QByteArray("[1, 2]");
}

void DefaultsTest::corruptFileIsKeptAside()
{
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(QFileInfo(filePath()).absolutePath()));
    {
        QFile file(filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    Defaults defaults(filePath());

    QVERIFY(!defaults.contains(key));
    QVERIFY(!QFile::exists(filePath()));
    QFile aside(filePath() + u".corrupt"_s);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), content);
    const QStringList lines = LogStore::shared().recent();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(u" E [defaults] "_s) && lines.first().contains(u".corrupt"_s),
             qPrintable(lines.first()));

    // The store works again from empty.
    defaults.setValue(key, true);
    QCOMPARE(Defaults(filePath()).boolValue(key), std::optional(true));
}

void DefaultsTest::changedOnlyOnRealChange_data()
{
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<bool>("changes");

    QTest::newRow("same integer") << QVariant(5) << QVariant(qint64(5)) << false;
    QTest::newRow("same map") << QVariant(QVariantMap{{u"a"_s, 1}}) << QVariant(QVariantMap{{u"a"_s, 1}})
                              << false;
    QTest::newRow("same instant, other zone")
        << QVariant(someDate()) << QVariant(someDate().toOffsetFromUtc(-7200)) << false;
    QTest::newRow("other string") << QVariant(u"a"_s) << QVariant(u"b"_s) << true;
    QTest::newRow("integer to bool") << QVariant(1) << QVariant(true) << true;
    QTest::newRow("integer to double") << QVariant(2) << QVariant(2.0) << true;
    QTest::newRow("list element to another type")
        << QVariant(QVariantList{0}) << QVariant(QVariantList{false}) << true;
    QTest::newRow("map value to another type")
        << QVariant(QVariantMap{{u"a"_s, 1}}) << QVariant(QVariantMap{{u"a"_s, true}}) << true;
}

void DefaultsTest::changedOnlyOnRealChange()
{
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(bool, changes);
    {
        Defaults defaults(filePath());
        QSignalSpy spy(&defaults, &Defaults::changed);
        defaults.setValue(key, first);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().value(0).toString(), key);
        defaults.setValue(key, second);
        QCOMPARE(spy.size(), changes ? 1 : 0);
    }
    // A real change is also on disk.
    const Defaults restarted(filePath());
    Defaults expected(m_home->path() + u"/expected.json"_s);
    expected.setValue(key, changes ? second : first);
    QCOMPARE(restarted.value(key), expected.value(key));
    QCOMPARE(typeTree(restarted.value(key)), typeTree(expected.value(key)));
}

void DefaultsTest::removeDropsTheKeyForGood()
{
    {
        Defaults defaults(filePath());
        defaults.setValue(key, u"x"_s);
        defaults.setValue(u"other"_s, 1);
        QSignalSpy spy(&defaults, &Defaults::changed);
        defaults.remove(key);
        defaults.remove(u"never-set"_s);
        QCOMPARE(spy.size(), 1);
        QVERIFY(!defaults.contains(key));
    }
    const Defaults restarted(filePath());
    QVERIFY(!restarted.contains(key));
    QCOMPARE(restarted.integerValue(u"other"_s), std::optional<qint64>(1));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DefaultsTest)
#include "DefaultsTest.moc"
