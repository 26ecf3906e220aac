#include "settings/CalendarPreview.h"
#include "support/ManualClock.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/CalendarService.h"

#include <QDate>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::CalendarPreview;
using lumi::CalendarSettings;

namespace {

constexpr QRgb photoColour = 0xff20c040;

bool near(QColor a, QColor b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QImage solidPhoto()
{
    QImage photo(1920, 1080, QImage::Format_RGB32);
    photo.fill(photoColour);
    return photo;
}

/// The columns, from the preview's left, where row y differs from the bare photo.
QList<int> markedColumns(const QImage& image, int y)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        if (!near(image.pixelColor(x, y), QColor(photoColour), 2))
            columns.append(x);
    }
    return columns;
}

} // namespace

class CalendarPreviewTest final : public QObject
{
    Q_OBJECT

private slots:
    void flatColourWithoutAPhoto();
    void calendarSitsInItsCornerAtItsSize_data();
    void calendarSitsInItsCornerAtItsSize();
    void opacityLetsThePhotoThrough();

private:
    lumi::test::ManualClock m_clock;
    lumi::CalendarService m_calendar{m_clock, u"en"_s};
};

void CalendarPreviewTest::flatColourWithoutAPhoto()
{
    CalendarPreview preview(m_calendar);
    const QImage bare = preview.compose(1);
    QCOMPARE(bare.size(), CalendarPreview::previewSize);
    QCOMPARE(bare.pixelColor(320, 180), CalendarPreview::flatColour());
    // Rounded corners: the very corner is left clear.
    QCOMPARE(bare.pixelColor(0, 0).alpha(), 0);

    preview.setPhoto(solidPhoto());
    QCOMPARE(preview.compose(1).pixelColor(320, 180), QColor(photoColour));
}

void CalendarPreviewTest::calendarSitsInItsCornerAtItsSize_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("position");
    QTest::addColumn<double>("zoom");

    QTest::newRow("medium top left") << u"medium"_s << u"top_left"_s << 1.0;
    QTest::newRow("large bottom right") << u"large"_s << u"bottom_right"_s << 1.33;
    QTest::newRow("small top right") << u"small"_s << u"top_right"_s << 0.66;
    QTest::newRow("xxlarge bottom left") << u"xxlarge"_s << u"bottom_left"_s << 2.0;
}

void CalendarPreviewTest::calendarSitsInItsCornerAtItsSize()
{
    QFETCH(QString, size);
    QFETCH(QString, position);
    QFETCH(double, zoom);

    CalendarSettings settings;
    settings.theme = u"plum"_s;
    settings.size = size;
    settings.position = position;
    CalendarPreview preview(m_calendar);
    preview.setPhoto(solidPhoto());
    preview.setSettings(settings);
    const QImage image = preview.compose(1);

    const lumi::CalendarRequest request = m_calendar.makeRequest(settings, QDate::currentDate());
    const double width = lumi::CalendarRenderer::imageSize(request).width() / 1920.0 * 640 * zoom;
    const std::optional<QImage> card = lumi::CalendarRenderer::render(request, 2);
    QVERIFY(card);
    const double height = width * card->height() / card->width();
    const bool right = position.endsWith(u"right"_s);
    const bool bottom = position.startsWith(u"bottom"_s);
    // A row through the card's middle is marked from one side of the card to the other, 12 in
    // from the preview's edge, and nowhere else.
    const int y = qRound(bottom ? 360 - 12 - height / 2 : 12 + height / 2);
    const QList<int> marked = markedColumns(image, y);
    QVERIFY(!marked.isEmpty());
    const double left = right ? 640 - 12 - width : 12;
    QVERIFY2(std::abs(marked.first() - left) <= 2, qPrintable(QString::number(marked.first())));
    QVERIFY2(std::abs(marked.last() + 1 - (left + width)) <= 2, qPrintable(QString::number(marked.last())));
    // The opposite half of the preview is the bare photo.
    const int clearY = bottom ? 60 : 300;
    QVERIFY(markedColumns(image, clearY).isEmpty() || height > 180);
}

void CalendarPreviewTest::opacityLetsThePhotoThrough()
{
    CalendarSettings settings;
    settings.theme = u"plum"_s;
    settings.size = u"large"_s;
    settings.position = u"bottom_right"_s;
    CalendarPreview preview(m_calendar);
    preview.setPhoto(solidPhoto());
    preview.setSettings(settings);
    const QImage opaque = preview.compose(1);
    settings.opacity = 70;
    preview.setSettings(settings);
    const QImage faded = preview.compose(1);

    // Where the opaque card shows its own colour, the faded one mixes 70 % of it with the photo.
    const QPoint probe(640 - 12 - 20, 360 - 12 - 20);
    const QColor card = opaque.pixelColor(probe);
    QVERIFY(!near(card, QColor(photoColour)));
    const QColor photo(photoColour);
    const QColor expected(qRound(card.red() * 0.7 + photo.red() * 0.3),
                          qRound(card.green() * 0.7 + photo.green() * 0.3),
                          qRound(card.blue() * 0.7 + photo.blue() * 0.3));
    QVERIFY2(near(faded.pixelColor(probe), expected, 4),
             qPrintable(faded.pixelColor(probe).name() + u" vs "_s + expected.name()));
}

QTEST_MAIN(CalendarPreviewTest)
#include "CalendarPreviewTest.moc"
