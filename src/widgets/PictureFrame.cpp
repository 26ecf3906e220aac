#include "widgets/PictureFrame.h"

#include "widgets/ImageLoader.h"
#include "widgets/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace lumi {

PictureFrame::PictureFrame(QSize drawn, qreal cornerRadius, QWidget* parent)
    : QWidget(parent), m_drawn(drawn), m_radius(cornerRadius)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PictureFrame::setSource(QNetworkAccessManager& network, std::optional<QUrl> url)
{
    if (m_network == &network && m_url == url)
        return;
    m_network = &network;
    m_url = std::move(url);
    m_loadStarted = false;
    m_picture = QImage();
    update();
}

void PictureFrame::setOutlined(bool outlined)
{
    m_outlined = outlined;
    update();
}

int PictureFrame::frameHeight(int width)
{
    return qRound(width * 9.0 / 16.0);
}

void PictureFrame::paintEvent(QPaintEvent*)
{
    if (!m_loadStarted && m_url && m_network) {
        m_loadStarted = true;
        load(*m_url);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF frame = rect();
    QPainterPath shape;
    shape.addRoundedRect(frame, m_radius, m_radius);
    painter.setClipPath(shape);
    QColor grey(Qt::gray);
    grey.setAlphaF(0.12);
    painter.fillRect(frame, grey);
    if (!m_picture.isNull()) {
        const QSize scaled = m_picture.size().scaled(size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(QPointF((width() - scaled.width()) / 2.0, (height() - scaled.height()) / 2.0),
                            scaled);
        painter.drawImage(target, m_picture);
    }
    if (m_outlined) {
        QColor ink = Palette::dark();
        ink.setAlphaF(0.8);
        painter.setPen(QPen(ink, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), m_radius - 1, m_radius - 1);
    }
}

QCoro::Task<void> PictureFrame::load(QUrl url)
{
    const QPointer<PictureFrame> self(this);
    const QSize cover = m_drawn * devicePixelRatioF();
    std::optional<QImage> picture = co_await ImageLoader::load(*m_network, url, cover);
    // Gone, or given another picture meanwhile: this one is not shown.
    if (!self || !picture || m_url != url)
        co_return;
    m_picture = std::move(*picture);
    update();
    emit pictureLoaded();
}

} // namespace lumi
