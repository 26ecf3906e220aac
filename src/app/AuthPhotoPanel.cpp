#include "app/AuthPhotoPanel.h"

#include "imaging/BundledFonts.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QLabel* overlayText(const QString& text, qreal pixelSize, qreal alpha, qreal shadowRadius, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(BundledFonts::font(pixelSize, QFont::Normal));
    label->setStyleSheet(
        u"color: rgba(255, 255, 255, %1); background: transparent;"_s.arg(qRound(alpha * 255)));
    auto* shadow = new QGraphicsDropShadowEffect(label);
    shadow->setColor(QColor(0, 0, 0, 84));
    shadow->setOffset(0, 0);
    shadow->setBlurRadius(shadowRadius * 2);
    label->setGraphicsEffect(shadow);
    return label;
}

} // namespace

AuthPhotoPanel::AuthPhotoPanel(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* taglines = new QVBoxLayout;
    taglines->setSpacing(6);
    taglines->addWidget(overlayText(tr("Your playlists, on your desktop."), 28, 1.0, 6, this));
    taglines->addWidget(overlayText(tr("A new photo whenever you like."), 17, 1.0, 6, this));

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    auto* taglineBox = new QWidget(this);
    taglineBox->setLayout(taglines);
    taglines->setContentsMargins(28, 28, 28, 28);
    bottom->addWidget(taglineBox, 0, Qt::AlignBottom | Qt::AlignLeft);
    bottom->addStretch();
    QLabel* caption = overlayText(u"Jean-Drapeau Park, Montreal, Canada"_s, 11, 0.85, 4, this);
    caption->setContentsMargins(10, 10, 10, 10);
    bottom->addWidget(caption, 0, Qt::AlignBottom | Qt::AlignRight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addLayout(bottom);
}

void AuthPhotoPanel::setPhoto(QImage photo)
{
    m_photo = std::move(photo);
    update();
}

void AuthPhotoPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(0.85 * 255)));
    if (m_photo.isNull())
        return;
    // Scaled to fill: the photo covers the panel and the overflow is cut off.
    const QSize scaled = m_photo.size().scaled(size(), Qt::KeepAspectRatioByExpanding);
    const QRect target(QPoint((width() - scaled.width()) / 2, (height() - scaled.height()) / 2), scaled);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_photo);
}

} // namespace lumi
