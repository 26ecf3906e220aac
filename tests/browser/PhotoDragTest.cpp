#include "browser/PhotoDrag.h"

#include <QMimeData>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Medium;
using lumi::PhotoDrag;
using lumi::PhotoLocation;

namespace {

Medium everyField()
{
    return Medium{.uuid = u"3f1c0a9e-0000-4000-8000-000000000001"_s,
                  .title = u"Misty lake"_s,
                  .description = u"At dawn"_s,
                  .secureBaseUrl = u"http://127.0.0.1:1/cdn/3f1c/"_s,
                  .channelTitle = u"Landscapes"_s,
                  .sourceUrl = u"https://lumivale.test/p/1"_s,
                  .localPath = u"/home/u/Photos/lake.jpg"_s,
                  .localThumb = u"/home/u/.cache/lake.jpg"_s,
                  .location = PhotoLocation{.country = PhotoLocation::Named{u"Norway"_s, u"norway"_s},
                                            .region = PhotoLocation::Named{u"Vestland"_s, u"vestland"_s},
                                            .place = PhotoLocation::Named{u"Lake"_s, u"lake"_s}}};
}

PhotoDrag manyPhotos(qsizetype count)
{
    PhotoDrag drag;
    for (qsizetype i = 0; i < count; ++i)
        drag.media.append(Medium{.uuid = QString::number(i)});
    return drag;
}

} // namespace

Q_DECLARE_METATYPE(std::optional<PhotoDrag>)

class PhotoDragTest final : public QObject
{
    Q_OBJECT

private slots:
    void encodesTheWireForm_data();
    void encodesTheWireForm();
    void decodesStrictly_data();
    void decodesStrictly();
    void travelsAsItsOwnType();
};

void PhotoDragTest::encodesTheWireForm_data()
{
    QTest::addColumn<QList<Medium>>("media");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("uuid only") << QList<Medium>{Medium{.uuid = u"a1"_s}}
                               << QByteArray(R"({"media":[{"uuid":"a1"}]})");
    QTest::newRow("empty drag") << QList<Medium>{} << QByteArray(R"({"media":[]})");
}

void PhotoDragTest::encodesTheWireForm()
{
    QFETCH(QList<Medium>, media);
    QFETCH(QByteArray, wire);

    const PhotoDrag drag{media};
    QCOMPARE(drag.encode(), wire);
    QCOMPARE(PhotoDrag::decode(wire), std::optional<PhotoDrag>(drag));
}

void PhotoDragTest::decodesStrictly_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<std::optional<PhotoDrag>>("expected");

    const Medium full = everyField();
    const Medium second{.uuid = u"b2"_s};
    QTest::newRow("every field") << PhotoDrag{{full, second}}.encode()
                                 << std::optional<PhotoDrag>(PhotoDrag{{full, second}});
    QTest::newRow("other keys ignored") << QByteArray(R"({"media":[{"uuid":"b2"}],"from":"grid"})")
                                        << std::optional<PhotoDrag>(PhotoDrag{{second}});
    QTest::newRow("no media") << QByteArray(R"({"photos":[]})") << std::optional<PhotoDrag>();
    QTest::newRow("media not an array")
        << QByteArray(R"({"media":{"uuid":"b2"}})") << std::optional<PhotoDrag>();
    QTest::newRow("photo without uuid")
        << QByteArray(R"({"media":[{"title":"x"}]})") << std::optional<PhotoDrag>();
    QTest::newRow("title of the wrong type")
        << QByteArray(R"({"media":[{"uuid":"b2"},{"uuid":"c3","title":7}]})") << std::optional<PhotoDrag>();
    QTest::newRow("element not an object") << QByteArray(R"({"media":["b2"]})") << std::optional<PhotoDrag>();
    QTest::newRow("not an object") << QByteArray(R"([{"uuid":"b2"}])") << std::optional<PhotoDrag>();
    QTest::newRow("two payloads joined")
        << QByteArray(R"({"media":[{"uuid":"a1"}]}{"media":[{"uuid":"b2"}]})") << std::optional<PhotoDrag>();
    QTest::newRow("not JSON") << QByteArray("media") << std::optional<PhotoDrag>();
    const PhotoDrag most = manyPhotos(PhotoDrag::maxPhotos);
    QTest::newRow("the most photos") << most.encode() << std::optional<PhotoDrag>(most);
    QTest::newRow("one photo too many")
        << manyPhotos(PhotoDrag::maxPhotos + 1).encode() << std::optional<PhotoDrag>();
    QByteArray padded = R"({"media":[],"pad":")" + QByteArray(PhotoDrag::maxBytes, 'x') + "\"}";
    QTest::newRow("beyond 4 MiB") << padded << std::optional<PhotoDrag>();
}

void PhotoDragTest::decodesStrictly()
{
    QFETCH(QByteArray, payload);
    QFETCH(std::optional<PhotoDrag>, expected);

    QCOMPARE(PhotoDrag::decode(payload), expected);
}

void PhotoDragTest::travelsAsItsOwnType()
{
    const PhotoDrag drag{{everyField()}};
    const std::unique_ptr<QMimeData> data(drag.toMimeData());
    QCOMPARE(data->formats(), QStringList{u"com.lumivale.desktop-linux.photos"_s});
    QCOMPARE(PhotoDrag::fromMimeData(*data), std::optional<PhotoDrag>(drag));

    QMimeData text;
    text.setText(QString::fromUtf8(drag.encode()));
    QVERIFY(!PhotoDrag::fromMimeData(text));
}

QTEST_GUILESS_MAIN(PhotoDragTest)
#include "PhotoDragTest.moc"
