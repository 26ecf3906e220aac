#include "platform/linux/X11Hotkeys.h"

#include "model/AppLog.h"
#include "platform/linux/XcbOwned.h"

#include <QGuiApplication>
#include <QKeySequence>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr quint32 numLockKeysym = 0xff7f;
// XKB event kinds (XKBproto.h).
constexpr quint8 xkbNewKeyboardNotify = 0;
constexpr quint8 xkbMapNotify = 1;

quint16 modifierMask(Qt::KeyboardModifiers modifiers)
{
    quint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

// Latin letters only: their keysyms are the lower-case ASCII codes.
quint32 keysymOf(Qt::Key letter)
{
    return quint32(letter - Qt::Key_A + 'a');
}

} // namespace

X11Hotkeys::X11Hotkeys(QObject* parent) : Hotkeys(parent)
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        AppLog(u"hotkeys"_s).info(u"no X connection; global shortcuts are not available"_s);
        return;
    }
    m_connection = x11->connection();
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    static constexpr char xkbName[] = "XKEYBOARD";
    XcbOwned<xcb_query_extension_reply_t> xkb(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, sizeof(xkbName) - 1, xkbName), nullptr));
    if (xkb && xkb->present)
        m_xkbEvent = xkb->first_event;
    // One change comes as a burst of notices; the keys are grabbed again once after it.
    m_regrab.setSingleShot(true);
    m_regrab.setInterval(0);
    connect(&m_regrab, &QTimer::timeout, this, &X11Hotkeys::regrab);
    readKeymap();
    qGuiApp->installNativeEventFilter(this);
}

X11Hotkeys::~X11Hotkeys()
{
    if (!m_connection)
        return;
    for (const Combination& combination : std::as_const(m_held))
        ungrab(combination);
    qGuiApp->removeNativeEventFilter(this);
}

void X11Hotkeys::readKeymap()
{
    m_keycodes.clear();
    m_numLock = 0;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const quint8 first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    XcbOwned<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, first, quint8(count)), nullptr));
    if (mapping) {
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int perCode = mapping->keysyms_per_keycode;
        for (int code = 0; code < count; ++code) {
            for (int level = 0; level < perCode; ++level) {
                const quint32 keysym = keysyms[code * perCode + level];
                if (keysym && !m_keycodes.contains(keysym))
                    m_keycodes.insert(keysym, quint8(first + code));
            }
        }
    }
    // Num Lock sits on whichever modifier the layout gives it.
    XcbOwned<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    const quint8 numLockCode = m_keycodes.value(numLockKeysym);
    if (modifiers && numLockCode) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int perModifier = modifiers->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                if (codes[modifier * perModifier + i] == numLockCode)
                    m_numLock = quint16(1 << modifier);
            }
        }
    }
}

QList<quint16> X11Hotkeys::lockVariants() const
{
    QList<quint16> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLock) {
        variants.append(m_numLock);
        variants.append(quint16(m_numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

int X11Hotkeys::grab(int id, Qt::Key letter, Qt::KeyboardModifiers modifiers)
{
    if (!m_connection)
        return -1;
    release(id);
    Combination combination{letter, modifiers};
    const int status = grabNow(combination);
    if (status == 0)
        m_held.insert(id, combination);
    return status;
}

int X11Hotkeys::grabNow(Combination& combination)
{
    combination.keycode = m_keycodes.value(keysymOf(combination.letter));
    combination.mask = modifierMask(combination.modifiers);
    if (!combination.keycode) {
        AppLog(u"hotkeys"_s)
            .info(u"the keyboard layout has no key for "_s + QKeySequence(combination.letter).toString());
        return -1;
    }
    const QList<quint16> variants = lockVariants();
    // All requests go out before the first check, which waits for the server once.
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 locks : variants) {
        cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, quint16(combination.mask | locks),
                                            combination.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    int refusal = 0;
    for (const xcb_void_cookie_t& cookie : cookies) {
        XcbOwned<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error && !refusal)
            refusal = error->error_code;
    }
    // A refused variant leaves the others held by us: let go of them all.
    if (refusal)
        ungrab(combination);
    return refusal;
}

void X11Hotkeys::ungrab(const Combination& combination)
{
    // Only this client's grabs are released; another client's stay as they are.
    for (const quint16 locks : lockVariants())
        xcb_ungrab_key(m_connection, combination.keycode, m_root, quint16(combination.mask | locks));
    xcb_flush(m_connection);
}

void X11Hotkeys::release(int id)
{
    const auto held = m_held.constFind(id);
    if (held == m_held.cend())
        return;
    if (held->held)
        ungrab(*held);
    m_held.erase(held);
}

bool X11Hotkeys::isHeld(int id) const
{
    const auto held = m_held.constFind(id);
    return held != m_held.cend() && held->held;
}

bool X11Hotkeys::isKeymapChange(quint8 type, quint8 detail) const
{
    if (type == XCB_MAPPING_NOTIFY)
        return true;
    // A layout switched with setxkbmap comes only as an XKB event, its kind in the second byte.
    return m_xkbEvent && type == m_xkbEvent && (detail == xkbNewKeyboardNotify || detail == xkbMapNotify);
}

void X11Hotkeys::regrab()
{
    // A new layout may put the letters on other keys: grab them again where they are now.
    for (const Combination& combination : std::as_const(m_held)) {
        if (combination.held)
            ungrab(combination);
    }
    readKeymap();
    // One lost now is kept, to be tried again at the next change.
    const AppLog log(u"hotkeys"_s);
    for (auto held = m_held.begin(); held != m_held.end(); ++held) {
        const bool was = held->held;
        held->held = grabNow(held.value()) == 0;
        if (was && !held->held)
            log.info(u"shortcut %1 lost with the keyboard layout change; another app may hold it"_s.arg(
                held.key()));
        else if (!was && held->held)
            log.info(u"shortcut %1 held again after the keyboard layout change"_s.arg(held.key()));
    }
}

bool X11Hotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (isKeymapChange(type, reinterpret_cast<const quint8*>(event)[1])) {
        m_regrab.start();
        return false;
    }
    if (type != XCB_KEY_PRESS)
        return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const quint16 state = press->state & 0xff & ~quint16(XCB_MOD_MASK_LOCK | m_numLock);
    for (auto held = m_held.cbegin(); held != m_held.cend(); ++held) {
        if (held->held && press->detail == held->keycode && state == held->mask) {
            emit pressed(held.key());
            return true;
        }
    }
    return false;
}

} // namespace lumi
