#include "browser/NoticeToast.h"

#include "imaging/BundledFonts.h"
#include "state/Guidance.h"
#include "widgets/Palette.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPropertyAnimation>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int bottomMargin = 16;

} // namespace

NoticeToast::NoticeToast(Guidance& guidance, QWidget& parent)
    : QLabel(&parent), m_guidance(guidance), m_opacity(new QGraphicsOpacityEffect(this)),
      m_fade(new QPropertyAnimation(m_opacity, "opacity", this))
{
    setObjectName(u"browser.notice"_s);
    setTextFormat(Qt::PlainText);
    setFont(BundledFonts::font(13, QFont::Normal));
    setContentsMargins(14, 8, 14, 8);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGraphicsEffect(m_opacity);
    m_fade->setDuration(200);
    m_fade->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_fade, &QPropertyAnimation::finished, this, [this] {
        if (!m_guidance.notice())
            hide();
    });
    parent.installEventFilter(this);
    connect(&guidance, &Guidance::noticeChanged, this, &NoticeToast::sync);
    hide();
    sync();
}

void NoticeToast::sync()
{
    const std::optional<QString>& notice = m_guidance.notice();
    m_fade->stop();
    m_fade->setStartValue(m_opacity->opacity());
    if (notice) {
        setText(*notice);
        place();
        show();
        raise();
        m_fade->setEndValue(1.0);
    } else {
        m_fade->setEndValue(0.0);
    }
    m_fade->start();
}

void NoticeToast::place()
{
    adjustSize();
    const QWidget* host = parentWidget();
    move((host->width() - width()) / 2, host->height() - height() - bottomMargin);
}

bool NoticeToast::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

void NoticeToast::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 0, 30));
    painter.setBrush(QColor(250, 250, 250, 235));
    const qreal radius = height() / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.end();
    QLabel::paintEvent(event);
}

} // namespace lumi
