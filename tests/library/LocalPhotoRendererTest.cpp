#include "library/LocalPhotoRenderer.h"
#include "library/FileIdentity.h"
#include "library/LocalOutputNames.h"
#include "library/LocalPhotos.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/MediaFormat.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <climits>
#include <unistd.h>

Q_DECLARE_METATYPE(std::optional<QString>)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// A photo in four coloured quarters: red top left, green top right, blue bottom left, yellow
// bottom right. Probes far from the edges survive JPEG and scaling.
QImage quarters(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
    return image;
}

// The JPEG of the image with an EXIF block that gives only the orientation.
QByteArray jpegWithOrientation(const QImage& image, quint16 orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    QByteArray exif("Exif\0\0", 6);
    exif += QByteArray("II*\0\x08\0\0\0", 8);          // little-endian TIFF, IFD at 8
    exif += QByteArray("\x01\0", 2);                   // one entry
    exif += QByteArray("\x12\x01\x03\0\x01\0\0\0", 8); // Orientation, SHORT, count 1
    exif += char(orientation & 0xff);
    exif += char(orientation >> 8);
    exif += QByteArray("\0\0", 2);
    exif += QByteArray("\0\0\0\0", 4); // no next IFD
    const int length = int(exif.size()) + 2;
    QByteArray segment("\xff\xe1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xff);
    segment += exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// The nearest of the test colours, so JPEG noise does not matter.
QString colourAt(const QImage& image, QPoint point)
{
    const QColor pixel = image.pixelColor(point);
    const QList<std::pair<QString, QColor>> palette{{u"black"_s, Qt::black},
                                                    {u"red"_s, Qt::red},
                                                    {u"green"_s, Qt::green},
                                                    {u"blue"_s, Qt::blue},
                                                    {u"yellow"_s, Qt::yellow}};
    QString nearest;
    int best = INT_MAX;
    for (const auto& [name, colour] : palette) {
        const int distance = std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                             std::abs(pixel.blue() - colour.blue());
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

using Probes = QList<std::pair<QPoint, QString>>;

} // namespace

class LocalPhotoRendererTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fitModes_data();
    void fitModes();
    void appliesTheExifOrientation();
    void previewCoversSixForty();
    void unreadableSourceWritesNothing();
    void replacesTheOutputNeverWritingThroughIt_data();
    void replacesTheOutputNeverWritingThroughIt();
    void isRenderCurrent_data();
    void isRenderCurrent();
    void outputNames_data();
    void outputNames();
    void outputNamesRecordSurvivesStorage();

private:
    QString path(const QString& relative) const { return m_home->path() + u'/' + relative; }

    std::unique_ptr<test::TemporaryHome> m_home;
};

void LocalPhotoRendererTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
}

void LocalPhotoRendererTest::cleanup()
{
    m_home.reset();
}

void LocalPhotoRendererTest::fitModes_data()
{
    QTest::addColumn<std::optional<QString>>("setting");
    QTest::addColumn<QSize>("source");
    QTest::addColumn<Probes>("probes"); // on a 200x100 output

    const QSize wide(400, 300);
    QTest::newRow("cover crops, no bars")
        << std::optional(u"cover"_s) << wide
        << Probes{{{5, 5}, u"red"_s}, {{195, 5}, u"green"_s}, {{5, 95}, u"blue"_s}, {{195, 95}, u"yellow"_s}};
    QTest::newRow("adapt covers a wide photo")
        << std::optional<QString>() << wide << Probes{{{5, 5}, u"red"_s}, {{195, 95}, u"yellow"_s}};
    QTest::newRow("unknown setting fits with bars") << std::optional(u"Cover"_s) << wide
                                                    << Probes{{{10, 50}, u"black"_s},
                                                              {{190, 50}, u"black"_s},
                                                              {{60, 20}, u"red"_s},
                                                              {{140, 80}, u"yellow"_s}};
    QTest::newRow("adapt fits an upright photo") << std::optional(u"adapt"_s) << QSize(300, 400)
                                                 << Probes{{{30, 50}, u"black"_s},
                                                           {{170, 50}, u"black"_s},
                                                           {{85, 20}, u"red"_s},
                                                           {{115, 80}, u"yellow"_s}};
    QTest::newRow("fill stretches") << std::optional(u"fill"_s) << QSize(300, 400)
                                    << Probes{{{5, 5}, u"red"_s},
                                              {{195, 5}, u"green"_s},
                                              {{5, 95}, u"blue"_s},
                                              {{195, 95}, u"yellow"_s}};
}

void LocalPhotoRendererTest::fitModes()
{
    QFETCH(std::optional<QString>, setting);
    QFETCH(QSize, source);
    QFETCH(Probes, probes);

    const QString input = path(u"linked/photo.jpg"_s);
    QDir().mkpath(path(u"linked"_s));
    QVERIFY(quarters(source).save(input, "JPEG", 95));
    const QString output = path(u"paper/photo.jpg"_s);
    QDir().mkpath(path(u"paper"_s));

    QVERIFY(QCoro::waitFor(
        LocalPhotoRenderer::renderLocalPhoto(input, output, MediaFormat{200, 100, 2.0}, setting)));

    const QImage rendered(output);
    QCOMPARE(rendered.size(), QSize(200, 100));
    for (const auto& [point, colour] : probes)
        QVERIFY2(colourAt(rendered, point) == colour,
                 qPrintable(u"(%1, %2)"_s.arg(point.x()).arg(point.y())));
}

void LocalPhotoRendererTest::appliesTheExifOrientation()
{
    // Stored 400x200, red left and blue right; orientation 6 turns it a quarter clockwise, so it
    // shows upright with red on top.
    QImage stored(400, 200, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 200, 200, Qt::red);
    const QString input = path(u"linked/turned.jpg"_s);
    QVERIFY(test::writeFile(input, jpegWithOrientation(stored, 6)));
    const QString output = path(u"paper/turned.jpg"_s);
    QDir().mkpath(path(u"paper"_s));

    QVERIFY(LocalPhotoRenderer::render(input, output, QSize(100, 200), u"fill"_s));

    const QImage rendered(output);
    QCOMPARE(rendered.size(), QSize(100, 200));
    QCOMPARE(colourAt(rendered, {50, 20}), u"red"_s);
    QCOMPARE(colourAt(rendered, {50, 180}), u"blue"_s);
}

void LocalPhotoRendererTest::previewCoversSixForty()
{
    const QString input = path(u"linked/photo.jpg"_s);
    QDir().mkpath(path(u"linked"_s));
    QVERIFY(quarters(QSize(1600, 1600)).save(input, "JPEG", 95));
    const QString preview = path(u"Lumivale/images/Trip/photo/640x360.jpg"_s);

    QVERIFY(QCoro::waitFor(LocalPhotoRenderer::renderThumbnail(input, preview)));

    const QImage rendered(preview);
    QCOMPARE(rendered.size(), QSize(640, 360));
    // A square photo covering 640x360 loses its top and bottom: no black anywhere.
    QCOMPARE(colourAt(rendered, {5, 5}), u"red"_s);
    QCOMPARE(colourAt(rendered, {635, 5}), u"green"_s);
    QCOMPARE(colourAt(rendered, {5, 355}), u"blue"_s);
    QCOMPARE(colourAt(rendered, {635, 355}), u"yellow"_s);
}

void LocalPhotoRendererTest::unreadableSourceWritesNothing()
{
    const QString input = path(u"linked/notes.jpg"_s);
    QVERIFY(test::writeFile(input, "not a photo"));
    const QString output = path(u"paper/notes.jpg"_s);
    QDir().mkpath(path(u"paper"_s));

    QVERIFY(!LocalPhotoRenderer::render(input, output, QSize(200, 100), std::nullopt));
    QVERIFY(!LocalPhotoRenderer::writePreview(input, path(u"images/Trip/notes/640x360.jpg"_s)));
    QVERIFY(QDir(path(u"paper"_s)).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(!LocalPhotoRenderer::render(path(u"linked/absent.jpg"_s), output, QSize(200, 100), std::nullopt));
}

void LocalPhotoRendererTest::replacesTheOutputNeverWritingThroughIt_data()
{
    QTest::addColumn<QString>("existing");
    QTest::newRow("hard link to another file") << u"hardlink"_s;
    QTest::newRow("symbolic link to another file") << u"symlink"_s;
}

void LocalPhotoRendererTest::replacesTheOutputNeverWritingThroughIt()
{
    QFETCH(QString, existing);

    const QString input = path(u"linked/photo.jpg"_s);
    QDir().mkpath(path(u"linked"_s));
    QVERIFY(quarters(QSize(400, 300)).save(input, "JPEG", 95));
    const QString victim = path(u"saver/someone.jpg"_s);
    QVERIFY(test::writeFile(victim, "keep me"));
    const QString output = path(u"paper/photo.jpg"_s);
    QDir().mkpath(path(u"paper"_s));
    if (existing == u"hardlink"_s)
        QVERIFY(::link(QFile::encodeName(victim).constData(), QFile::encodeName(output).constData()) == 0);
    else
        QVERIFY(QFile::link(victim, output));

    QVERIFY(LocalPhotoRenderer::render(input, output, QSize(200, 100), u"fill"_s));

    QCOMPARE(test::contentOf(victim), QByteArray("keep me"));
    QVERIFY(!QFileInfo(output).isSymLink());
    QVERIFY(FileIdentity::of(output) != FileIdentity::of(victim));
    QCOMPARE(QImage(output).size(), QSize(200, 100));
    QCOMPARE(QDir(path(u"paper"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"photo.jpg"_s});
}

void LocalPhotoRendererTest::isRenderCurrent_data()
{
    QTest::addColumn<int>("outputAge"); // seconds older than the source (negative: newer)
    QTest::addColumn<QString>("look");
    QTest::addColumn<bool>("current");

    QTest::newRow("newer, same look") << -10 << u"2560x1440|adapt"_s << true;
    QTest::newRow("newer, other look") << -10 << u"2560x1440|fill"_s << false;
    QTest::newRow("newer, look not asked") << -10 << QString() << true;
    QTest::newRow("older than its source") << 10 << u"2560x1440|adapt"_s << false;
}

void LocalPhotoRendererTest::isRenderCurrent()
{
    QFETCH(int, outputAge);
    QFETCH(QString, look);
    QFETCH(bool, current);

    const QString source = path(u"linked/photo.jpg"_s);
    const QString output = path(u"paper/photo.jpg"_s);
    QVERIFY(test::writeFile(source, "source"));
    QVERIFY(test::writeFile(output, "output"));
    const QDateTime sourceTime = QDateTime::currentDateTimeUtc().addDays(-1);
    QFile sourceFile(source);
    QVERIFY(sourceFile.open(QIODevice::ReadWrite));
    QVERIFY(sourceFile.setFileTime(sourceTime, QFileDevice::FileModificationTime));
    QFile outputFile(output);
    QVERIFY(outputFile.open(QIODevice::ReadWrite));
    QVERIFY(outputFile.setFileTime(sourceTime.addSecs(-outputAge), QFileDevice::FileModificationTime));
    Defaults& defaults = Defaults::shared();
    defaults.setValue(keys::syncLocalLook, u"2560x1440|adapt"_s);

    QCOMPARE(LocalPhotoRenderer::isRenderCurrent(output, source, look, defaults), current);
    QVERIFY(!LocalPhotoRenderer::isRenderCurrent(path(u"paper/absent.jpg"_s), source, QString(), defaults));
}

void LocalPhotoRendererTest::outputNames_data()
{
    QTest::addColumn<QVariantMap>("previous"); // output name to source, from the last pass
    QTest::addColumn<QStringList>("sources");  // claimed in this order
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("renderedBefore"); // the names whose output is still this source's

    QTest::newRow("same name in two folders")
        << QVariantMap() << QStringList{u"/a/IMG_0001.JPG"_s, u"/b/IMG_0001.JPG"_s, u"/c/IMG_0001.jpeg"_s}
        << QStringList{u"IMG_0001.jpg"_s, u"IMG_0001 2.jpg"_s, u"IMG_0001 3.jpg"_s} << QStringList();
    QTest::newRow("name that looks sync-made")
        << QVariantMap() << QStringList{u"/a/Beach-1a2b3c4d.JPG"_s, u"/a/Trip-20240131.jpg"_s}
        << QStringList{u"Beach-1a2b3c4dx.jpg"_s, u"Trip-20240131.jpg"_s} << QStringList();
    QTest::newRow("a source keeps its name when another folder goes")
        << QVariantMap{{u"IMG_0001.jpg"_s, u"/a/IMG_0001.JPG"_s}, {u"IMG_0001 2.jpg"_s, u"/b/IMG_0001.JPG"_s}}
        << QStringList{u"/b/IMG_0001.JPG"_s} << QStringList{u"IMG_0001 2.jpg"_s}
        << QStringList{u"IMG_0001 2.jpg"_s};
    QTest::newRow("a name passing to another source must be drawn again")
        << QVariantMap{{u"IMG_0001.jpg"_s, u"/a/IMG_0001.JPG"_s}} << QStringList{u"/c/IMG_0001.JPG"_s}
        << QStringList{u"IMG_0001.jpg"_s} << QStringList();
}

void LocalPhotoRendererTest::outputNames()
{
    QFETCH(QVariantMap, previous);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, names);
    QFETCH(QStringList, renderedBefore);

    LocalOutputNames outputs(LocalOutputNames::fromVariant(previous));
    QStringList claimed;
    QStringList current;
    for (const QString& source : sources) {
        claimed.append(outputs.claim(source));
        if (outputs.wasRenderedFrom(claimed.last(), source))
            current.append(claimed.last());
    }
    QCOMPARE(claimed, names);
    QCOMPARE(current, renderedBefore);
    QCOMPARE(outputs.record().size(), sources.size());
}

void LocalPhotoRendererTest::outputNamesRecordSurvivesStorage()
{
    LocalOutputNames first;
    first.claim(u"/a/IMG_0001.JPG"_s);
    first.claim(u"/b/IMG_0001.JPG"_s);
    Defaults& defaults = Defaults::shared();
    defaults.setValue(keys::syncLocalSources, LocalOutputNames::toVariant(first.record()));

    const LocalOutputNames second(LocalOutputNames::fromVariant(defaults.value(keys::syncLocalSources)));
    QVERIFY(second.wasRenderedFrom(u"IMG_0001 2.jpg"_s, u"/b/IMG_0001.JPG"_s));
    QVERIFY(LocalOutputNames::fromVariant(QVariantMap{{u"x.jpg"_s, 5}}).isEmpty());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::LocalPhotoRendererTest)
#include "LocalPhotoRendererTest.moc"
