#pragma once

#include "platform/Hotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <QTimer>

struct xcb_connection_t;

namespace lumi {

/// Key grabs on the X root window, through Qt's own X connection so the presses arrive in its
/// event stream: one grab per lock-key combination (none, Caps Lock, Num Lock, both), each
/// checked, so a combination another client holds is reported and none of it stays held. The
/// grabs follow keyboard layout changes. Without X (Wayland) nothing can be held.
class X11Hotkeys final : public Hotkeys, public QAbstractNativeEventFilter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(X11Hotkeys)

public:
    explicit X11Hotkeys(QObject* parent = nullptr);
    ~X11Hotkeys() override;

    bool isSupported() const override { return m_connection != nullptr; }
    int grab(int id, Qt::Key letter, Qt::KeyboardModifiers modifiers) override;
    void release(int id) override;
    bool isHeld(int id) const override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Combination
    {
        Qt::Key letter;
        Qt::KeyboardModifiers modifiers;
        quint8 keycode = 0;
        quint16 mask = 0;
        /// False while another client has its keys after a layout change.
        bool held = true;
    };

    int grabNow(Combination& combination);
    void ungrab(const Combination& combination);
    QList<quint16> lockVariants() const;
    void readKeymap();
    /// `type` without the "sent" bit; `detail`, the event's second byte.
    bool isKeymapChange(quint8 type, quint8 detail) const;
    void regrab();

    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    quint16 m_numLock = 0;
    // The first event code of the XKB extension; 0 without it.
    quint8 m_xkbEvent = 0;
    QTimer m_regrab;
    // Keycodes by keysym, from the current keymap.
    QHash<quint32, quint8> m_keycodes;
    QHash<int, Combination> m_held;
};

} // namespace lumi
