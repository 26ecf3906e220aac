#pragma once

#include <QProxyStyle>

namespace lumi {

/// The app's one look for what Qt draws by itself: the light palette on every window, pop-up,
/// menu and message box, whatever the desktop's colour scheme; and message boxes in the app's
/// manner rather than with the style's legacy glyphs: the app's icon, buttons without icons, and
/// the default button filled like the app's primary buttons.
class AppStyle final : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppStyle)

public:
    /// Makes it the application's style and the light palette the application's, before any
    /// window shows; a second call changes nothing.
    static void install();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

private:
    /// Takes ownership of the style it draws everything else with.
    explicit AppStyle(QStyle* base);
};

} // namespace lumi
