#include "browser/PhotoDragSource.h"

#include "browser/PhotoDrag.h"
#include "imaging/BundledFonts.h"
#include "imaging/PhotoDecoder.h"
#include "widgets/Palette.h"

#include <QDrag>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace lumi {

namespace {

constexpr qreal cornerRadius = 8;
constexpr int badgeOverhang = 6;

QFont badgeFont()
{
    return BundledFonts::font(12, QFont::Normal);
}

} // namespace

QImage PhotoDragSource::preview(const QImage& thumb, qsizetype count, qreal ratio)
{
    const QString label = count >= 2 ? QString::number(count) : QString();
    const QFontMetrics metrics(badgeFont());
    const QSize badge =
        label.isEmpty() ? QSize() : QSize(metrics.horizontalAdvance(label) + 14, metrics.height() + 4);
    // The badge sits past the picture's top-right corner; the canvas grows to hold it.
    const int overhang = label.isEmpty() ? 0 : badgeOverhang;
    const QSize canvas(previewSize.width() + overhang, previewSize.height() + overhang);

    QImage image(canvas * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const QRect picture(QPoint(0, overhang), previewSize);
    QPainterPath rounded;
    rounded.addRoundedRect(picture, cornerRadius, cornerRadius);
    painter.save();
    painter.setClipPath(rounded);
    if (thumb.isNull()) {
        painter.fillRect(picture, QColor(128, 128, 128, 77));
    } else {
        painter.drawImage(PhotoDecoder::coverRect(previewSize, thumb.deviceIndependentSize().toSize())
                              .translated(picture.topLeft()),
                          thumb);
    }
    painter.restore();

    if (!label.isEmpty()) {
        const QRect badgeRect(QPoint(canvas.width() - badge.width(), 0), badge);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::dark());
        painter.drawRoundedRect(badgeRect, badge.height() / 2.0, badge.height() / 2.0);
        painter.setPen(Qt::white);
        painter.setFont(badgeFont());
        painter.drawText(badgeRect, Qt::AlignCenter, label);
    }
    return image;
}

void PhotoDragSource::start(QWidget* source, const QList<Medium>& photos, const QImage& thumb)
{
    if (photos.isEmpty())
        return;
    auto* drag = new QDrag(source);
    drag->setMimeData(PhotoDrag{photos}.toMimeData());
    const QImage picture = preview(thumb, photos.size(), source->devicePixelRatioF());
    drag->setPixmap(QPixmap::fromImage(picture));
    drag->setHotSpot(QPoint(previewSize.width() / 2,
                            picture.deviceIndependentSize().toSize().height() - previewSize.height() / 2));
    drag->exec(Qt::CopyAction);
}

} // namespace lumi
