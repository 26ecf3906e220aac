#include "app/AppStyle.h"

#include "app/AppIcon.h"
#include "widgets/Palette.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace lumi {

namespace {

constexpr qreal cornerRadius = 6;
constexpr qreal ringWidth = 2;

/// The button Return presses in a message box: the one drawn as a primary button.
const QStyleOptionButton* defaultAlertButton(const QStyleOption* option, const QWidget* widget)
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (!button || !(button->features & QStyleOptionButton::DefaultButton) || !widget ||
        !qobject_cast<const QMessageBox*>(widget->window()))
        return nullptr;
    return button;
}

} // namespace

AppStyle::AppStyle(QStyle* base) : QProxyStyle(base) {}

void AppStyle::install()
{
    if (!qobject_cast<AppStyle*>(QApplication::style()))
        QApplication::setStyle(new AppStyle(QStyleFactory::create(QApplication::style()->name())));
    // Pop-ups and menus are windows of their own and inherit nothing from the window that opens
    // them: only the application's palette reaches them.
    QApplication::setPalette(Palette::widgets());
}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    switch (icon) {
    case SP_MessageBoxInformation:
    case SP_MessageBoxWarning:
    case SP_MessageBoxCritical:
    case SP_MessageBoxQuestion:
        return AppIcon::icon();
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}

int AppStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                        QStyleHintReturn* returnData) const
{
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void AppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const
{
    const QStyleOptionButton* button = defaultAlertButton(option, widget);
    if (button && element == CE_PushButtonBevel) {
        const bool enabled = button->state & State_Enabled;
        QColor fill = Palette::dark();
        if (!enabled)
            fill.setAlpha(90);
        else if (button->state & State_Sunken)
            fill = fill.lighter(160);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(button->rect), cornerRadius, cornerRadius);
        if (button->state & State_HasFocus) {
            const qreal inset = ringWidth / 2;
            painter->setPen(QPen(Palette::focusRing(), ringWidth));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(QRectF(button->rect).adjusted(inset, inset, -inset, -inset),
                                     cornerRadius - inset, cornerRadius - inset);
        }
        painter->restore();
        return;
    }
    if (button && element == CE_PushButtonLabel) {
        QStyleOptionButton label = *button;
        label.palette.setColor(QPalette::ButtonText,
                               QColor(255, 255, 255, (button->state & State_Enabled) ? 255 : 160));
        QProxyStyle::drawControl(element, &label, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace lumi
