#include "widgets/AlertBanner.h"

#include "imaging/BundledFonts.h"
#include "state/AppModel.h"
#include "widgets/BannerActionStyle.h"
#include "widgets/Palette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int textColumnWidth = 520;
constexpr qreal cornerRadius = 12;

QLabel* plainLabel(qreal pixelSize, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(BundledFonts::font(pixelSize, QFont::Normal));
    label->setStyleSheet(u"color: %1; background: transparent;"_s.arg(color.name()));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

AlertBanner::AlertBanner(AppModel& model, QWidget* parent) : QWidget(parent), m_model(model)
{
    m_textColumn = new QWidget(this);
    m_textColumn->setObjectName(u"banner.text"_s);
    m_textColumn->setMaximumWidth(textColumnWidth);
    m_textColumn->setCursor(Qt::PointingHandCursor);
    m_textColumn->installEventFilter(this);
    m_title = plainLabel(15, Palette::lavender(), m_textColumn);
    m_title->setObjectName(u"banner.title"_s);
    m_body = plainLabel(12.5, Palette::lightGray(), m_textColumn);
    m_body->setObjectName(u"banner.body"_s);
    // Clicks on the labels belong to the whole column.
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_body->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* texts = new QVBoxLayout(m_textColumn);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    texts->addWidget(m_title);
    texts->addWidget(m_body);

    m_link = new QPushButton(this);
    m_link->setObjectName(u"banner.link"_s);
    BannerActionStyle::apply(*m_link);
    connect(m_link, &QPushButton::clicked, this, &AlertBanner::follow);

    m_close = new QPushButton(u"✕"_s, this);
    m_close->setObjectName(u"banner.close"_s);
    m_close->setToolTip(tr("Dismiss"));
    m_close->setFixedSize(26, 26);
    m_close->setFlat(true);
    m_close->setCursor(Qt::PointingHandCursor);
    QColor closeColor = Palette::lightGray();
    closeColor.setAlphaF(0.7f);
    m_close->setFont(BundledFonts::font(11, QFont::DemiBold));
    m_close->setStyleSheet(u"QPushButton { color: %1; border: none; background: transparent; }"_s.arg(
        closeColor.name(QColor::HexArgb)));
    connect(m_close, &QPushButton::clicked, this, &AlertBanner::dismiss);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 12, 10, 12);
    row->setSpacing(12);
    row->addWidget(m_textColumn, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_link, 0, Qt::AlignVCenter);
    row->addWidget(m_close, 0, Qt::AlignVCenter);

    connect(&m_model, &AppModel::bannerChanged, this, &AlertBanner::sync);
    sync();
}

void AlertBanner::sync()
{
    if (const std::optional<ServerAlert>& alert = m_model.banner())
        setAlert(*alert);
    setVisible(m_model.banner().has_value());
}

QString AlertBanner::buttonText(QString text)
{
    return text.replace(u'&', u"&&"_s);
}

void AlertBanner::setAlert(const ServerAlert& alert)
{
    const QString title = alert.title.value_or(QString());
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
    const QString body = alert.lines.value_or(QStringList()).join(u' ');
    m_body->setText(body);
    m_body->setVisible(!body.isEmpty());
    const QString linkTitle = alert.linkTitle.value_or(QString());
    m_link->setText(buttonText(linkTitle));
    m_link->setVisible(!linkTitle.isEmpty());
}

void AlertBanner::follow()
{
    m_model.dismissBanner(true);
}

void AlertBanner::dismiss()
{
    // Cleared and acknowledged like a followed link, only without opening anything.
    m_model.dismissBanner(false);
}

bool AlertBanner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_textColumn && event->type() == QEvent::MouseButtonPress)
        return true;
    if (watched == m_textColumn && event->type() == QEvent::MouseButtonRelease) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton && m_textColumn->rect().contains(click->position().toPoint())) {
            follow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AlertBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, Palette::dark());
}

} // namespace lumi
