#include "app/AppIcon.h"
#include "app/Application.h"
#include "app/MenuBarContent.h"
#include "browser/core/BrowserState.h"
#include "settings/ChoicePicker.h"
#include "state/Guidance.h"
#include "support/app/AppRun.h"
#include "widgets/Palette.h"

#include <QAbstractItemView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::test::AppRun;

namespace {

/// How light a widget is drawn, on average: 0 black to 255 white.
int lightness(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return int(sum / std::max<qint64>(1, qint64(image.width()) * image.height()));
}

/// A desktop in a dark colour scheme, as the platform would hand it to the app.
QPalette darkScheme()
{
    QPalette dark(QColor(53, 53, 53), QColor(30, 30, 30));
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    for (const QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(text, Qt::white);
    return dark;
}

} // namespace

class AppStyleTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void popUpsStayLightUnderADarkScheme_data();
    void popUpsStayLightUnderADarkScheme();
    void messageBoxesSpeakInTheAppsManner_data();
    void messageBoxesSpeakInTheAppsManner();

private:
    /// Opens the playlist's context menu the way the menu key does.
    QMenu* openPlaylistMenu();

    QPalette m_desktop;
    std::unique_ptr<AppRun> m_run;
};

void AppStyleTest::init()
{
    m_desktop = QApplication::palette();
    QApplication::setPalette(darkScheme());
    m_run = std::make_unique<AppRun>();
    QVERIFY2(m_run->sandbox.isRunning(), qPrintable(m_run->sandbox.errorString()));
    QVERIFY(m_run->startSignedIn());
}

void AppStyleTest::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QVERIFY(m_run->settle());
    m_run.reset();
    QApplication::setPalette(m_desktop);
}

QMenu* AppStyleTest::openPlaylistMenu()
{
    m_run->browser()->state().selectMode(lumi::BrowseMode::playlists, false);
    QWidget* row = nullptr;
    if (!QTest::qWaitFor([&row, this] {
            row = m_run->browser()->findChild<QWidget*>(u"playlist.102"_s);
            return row && row->isVisible();
        }))
        return nullptr;
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10), row->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(row, &menuKey);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

void AppStyleTest::popUpsStayLightUnderADarkScheme_data()
{
    QTest::addColumn<QString>("popUp");
    QTest::newRow("a drop-down's list") << u"drop-down"_s;
    QTest::newRow("a playlist's context menu") << u"context menu"_s;
    QTest::newRow("the tray menu") << u"tray menu"_s;
}

void AppStyleTest::popUpsStayLightUnderADarkScheme()
{
    QFETCH(QString, popUp);
    QWidget* shown = nullptr;
    if (popUp == u"drop-down"_s) {
        m_run->app().guidance()->requestSettings(lumi::SettingsSection::wallpaper);
        lumi::ChoicePicker* interval = nullptr;
        QTRY_VERIFY((interval = AppRun::find<lumi::ChoicePicker>(u"wallpaper.interval"_s)));
        interval->showPopup();
        shown = interval->view()->window();
    } else if (popUp == u"context menu"_s) {
        shown = openPlaylistMenu();
    } else {
        QMenu* menu = m_run->app().menu()->menu();
        menu->popup(QPoint(100, 100));
        shown = menu;
    }
    QVERIFY(shown);
    QTRY_VERIFY(shown->isVisible());
    // Light behind the app's dark text, as the window that opened it (a sheet may be on white).
    QVERIFY(shown->palette().color(QPalette::Window).lightness() > 200);
    QCOMPARE(shown->palette().color(QPalette::Text), lumi::Palette::dark());
    QVERIFY2(lightness(*shown) > 180, qPrintable(QString::number(lightness(*shown))));
}

void AppStyleTest::messageBoxesSpeakInTheAppsManner_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("the model's alert") << u"alert"_s;
    QTest::newRow("the question before a deletion") << u"question"_s;
}

void AppStyleTest::messageBoxesSpeakInTheAppsManner()
{
    QFETCH(QString, box);
    if (box == u"alert"_s) {
        m_run->app().model()->setAlert(u"Something failed."_s);
    } else {
        QMenu* menu = openPlaylistMenu();
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            if (action->text() == u"Delete…"_s)
                action->trigger();
        }
        menu->close();
    }
    QMessageBox* shown = nullptr;
    QTRY_VERIFY((shown = AppRun::find<QMessageBox>(QString())));
    QTRY_VERIFY(shown->isActiveWindow());
    QVERIFY2(lightness(*shown) > 180, qPrintable(QString::number(lightness(*shown))));

    // The app's icon, where there is one, rather than the style's glyph.
    if (shown->icon() != QMessageBox::NoIcon) {
        const QPixmap icon = shown->iconPixmap();
        QCOMPARE(icon.toImage().convertToFormat(QImage::Format_ARGB32),
                 lumi::AppIcon::icon()
                     .pixmap(icon.deviceIndependentSize().toSize(), icon.devicePixelRatio())
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32));
    }
    // Buttons without glyphs; the one Return presses filled like the app's primary buttons.
    QPushButton* pressedByReturn = nullptr;
    for (QAbstractButton* button : shown->buttons()) {
        QVERIFY2(button->icon().isNull(), qPrintable(button->text()));
        auto* push = qobject_cast<QPushButton*>(button);
        if (push && push->isDefault())
            pressedByReturn = push;
    }
    QVERIFY(pressedByReturn);
    const QImage face = pressedByReturn->grab().toImage();
    QCOMPARE(face.pixelColor(4, face.height() / 2).rgb(), lumi::Palette::dark().rgb());
    for (QAbstractButton* button : shown->buttons()) {
        if (button != pressedByReturn)
            QVERIFY2(lightness(*button) > 180, qPrintable(button->text()));
    }
}

QTEST_MAIN(AppStyleTest)
#include "AppStyleTest.moc"
