#include "player/windows/PlayerController.h"

#include "model/AppLog.h"
#include "model/Clock.h"
#include "platform/InputActivity.h"
#include "player/PhotoImageSource.h"
#include "player/PhotoQueue.h"
#include "player/PlayerModel.h"
#include "player/PlayerTask.h"
#include "player/windows/GalleryWindow.h"
#include "player/windows/SaverWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineF>
#include <QRandomGenerator>
#include <QScreen>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

PlayerController::PlayerController(Services services, QObject* parent) : QObject(parent), m_services(services)
{
}

PlayerController::~PlayerController()
{
    // No event loop may come to delete them later.
    const QList<QPointer<SaverWindow>> windows = m_saverWindows;
    stop();
    m_lifetime.cancel();
    for (const QPointer<SaverWindow>& window : windows)
        delete window.data();
    for (const QPointer<GalleryWindow>& window : std::as_const(m_retiring))
        delete window.data();
}

QList<SaverWindow*> PlayerController::saverWindows() const
{
    QList<SaverWindow*> windows;
    for (const QPointer<SaverWindow>& window : m_saverWindows)
        windows.append(window.data());
    return windows;
}

GalleryWindow* PlayerController::galleryWindow() const
{
    return m_gallery.data();
}

std::unique_ptr<PlayerModel> PlayerController::makeModel(PlayMode mode, PlaySettings settings,
                                                         const QList<Medium>& media, int start,
                                                         const QScreen* screen)
{
    const bool large = screen && screen->geometry().width() * screen->devicePixelRatio() > largeWidth;
    PhotoQueue queue(media, start, settings.shuffle, m_services.random);
    return std::make_unique<PlayerModel>(mode, settings, std::move(queue), large, m_services.photos,
                                         m_services.clock, m_services.defaults);
}

void PlayerController::startSaver(QList<Medium> media, std::optional<SaverEffect> effect,
                                  PlaySettings settings)
{
    if (media.isEmpty() || m_showing)
        return;
    m_saver = true;
    m_startedAt = m_services.clock.monotonic();
    m_mouseStart = QCursor::pos();
    m_lastPress.reset();
    m_lastRelease.reset();

    const QList<QScreen*> screens = QGuiApplication::screens();
    const int count = int(media.size());
    const int per = std::max(count / std::max(int(screens.size()), 1), 1);
    for (int i = 0; i < screens.size(); ++i) {
        const SaverEffect played =
            effect.value_or(SaverEffect::Case(m_services.random.bounded(SaverEffect::table.size())));
        auto* window = new SaverWindow(
            makeModel(PlayMode::saver(played), settings, media, (i * per) % count, screens.at(i)),
            m_services.clock, screens.at(i));
        m_saverWindows.append(window);
        window->show();
        window->model().start(true);
    }
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    m_cursorHidden = true;
    m_showing = true;
    AppLog(u"player"_s).info(u"saver started on %1 screens"_s.arg(screens.size()));
    // Every input event of this app passes here while the saver shows, whichever window has it.
    qApp->installEventFilter(this);
    grabInput();
    connect(&m_services.input, &InputActivity::pressed, this, &PlayerController::pressedElsewhere);
    m_services.input.start();
    m_watch = CancelToken();
    PlayerTask::start(watchInput(*m_watch));
}

void PlayerController::grabInput()
{
    if (m_saverWindows.isEmpty())
        return;
    // Windows outside the window manager never take its focus, so releasing these grabs gives
    // the keyboard back to the window that had it.
    QWindow* window = m_saverWindows.constFirst()->windowHandle();
    const AppLog log(u"player"_s);
    if (!window->setKeyboardGrabEnabled(true))
        log.info(u"the keyboard is held by another client; presses elsewhere end the saver"_s);
    if (!window->setMouseGrabEnabled(true))
        log.info(u"the pointer is held by another client; presses elsewhere end the saver"_s);
}

void PlayerController::pressedElsewhere()
{
    m_lastPress = m_services.clock.monotonic();
}

QCoro::Task<void> PlayerController::watchInput(CancelToken cancel)
{
    const QPointer<PlayerController> self(this);
    Clock& clock = m_services.clock;
    while (!cancel.isCancelled()) {
        co_await clock.sleep(watchInterval, cancel);
        if (!self || cancel.isCancelled() || !m_showing)
            co_return;
        const bool started = clock.monotonic() - m_startedAt > moveGrace;
        if (started && m_lastPress && *m_lastPress - m_startedAt > pressGrace) {
            finish(u"a press elsewhere"_s);
            co_return;
        }
    }
}

bool PlayerController::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_showing || !m_saver)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // The held keys that started the saver repeat; they do not end it. The X server sends a
        // repeat as a release and a press of one time stamp, which Qt does not always pair.
        const auto* key = static_cast<QKeyEvent*>(event);
        const KeyStamp stamp{key->nativeScanCode(), key->timestamp()};
        if (!key->isAutoRepeat() && stamp != m_lastRelease)
            finish(u"a key"_s);
        return true;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        m_lastRelease = KeyStamp{key->nativeScanCode(), key->timestamp()};
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        finish(u"a click"_s);
        return true;
    case QEvent::Wheel:
        finish(u"a scroll"_s);
        return true;
    case QEvent::MouseMove: {
        const QPointF at = static_cast<QMouseEvent*>(event)->globalPosition();
        const bool late = m_services.clock.monotonic() - m_startedAt > moveGrace;
        if (late && QLineF(QPointF(m_mouseStart), at).length() > moveDistance)
            finish(u"a pointer move"_s);
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void PlayerController::showGallery(QList<Medium> media, int start, PlayMode mode, PlaySettings settings)
{
    if (media.isEmpty())
        return;
    stop();
    m_saver = false;
    const QWindow* focus = QGuiApplication::focusWindow();
    QScreen* screen = focus && focus->screen() ? focus->screen() : QGuiApplication::primaryScreen();
    m_gallery = new GalleryWindow(makeModel(mode, settings, media, start, screen), m_services.clock,
                                  [this] { stop(); });
    m_showing = true;
    m_gallery->open(screen);
    m_gallery->model().start(true);
}

void PlayerController::stop()
{
    finish(QString());
}

void PlayerController::finish(const QString& cause)
{
    if (!m_showing)
        return;
    m_showing = false;
    AppLog(u"player"_s)
        .info((m_saver ? u"saver ended"_s : u"gallery closed"_s) +
              (cause.isEmpty() ? QString() : u" by "_s + cause));
    qApp->removeEventFilter(this);
    if (m_watch) {
        m_watch->cancel();
        m_watch.reset();
    }
    disconnect(&m_services.input, &InputActivity::pressed, this, &PlayerController::pressedElsewhere);
    m_services.input.stop();

    for (const QPointer<SaverWindow>& window : std::as_const(m_saverWindows)) {
        window->model().stop();
        window->windowHandle()->setKeyboardGrabEnabled(false);
        window->windowHandle()->setMouseGrabEnabled(false);
        window->hide();
        // Later: the input that ends the saver is still being delivered to it.
        window->deleteLater();
    }
    m_saverWindows.clear();
    if (m_gallery) {
        m_gallery->model().stop();
        m_gallery->retire();
        m_retiring.append(m_gallery);
        PlayerTask::start(hideLater(m_gallery));
        m_gallery = nullptr;
    }
    if (m_cursorHidden) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorHidden = false;
    }
    m_services.photos.clear();
}

QCoro::Task<void> PlayerController::hideLater(QPointer<GalleryWindow> window)
{
    const QPointer<PlayerController> self(this);
    co_await m_services.clock.sleep(galleryHideDelay, m_lifetime);
    if (!self || !window)
        co_return;
    m_retiring.removeAll(window);
    window->hide();
    window->deleteLater();
}

} // namespace lumi
