#include "platform/linux/XInputActivity.h"

#include "model/AppLog.h"
#include "platform/linux/XcbOwned.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The raw events asked for; motion is left out on purpose.
struct RawMask
{
    xcb_input_event_mask_t head;
    quint32 bits;
};

} // namespace

void XInputActivity::Closer::operator()(xcb_connection_t* connection) const
{
    xcb_disconnect(connection);
}

XInputActivity::XInputActivity(QObject* parent) : InputActivity(parent) {}

XInputActivity::~XInputActivity() = default;

bool XInputActivity::start()
{
    if (m_connection)
        return true;
    const QString failure = open();
    if (!failure.isEmpty()) {
        m_connection.reset();
        AppLog(u"player"_s).info(u"no input watch ("_s + failure + u"); the saver's own grabs end it"_s);
        return false;
    }
    m_held.clear();
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection.get()), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &XInputActivity::readEvents);
    return true;
}

void XInputActivity::stop()
{
    m_notifier.reset();
    m_connection.reset();
}

QString XInputActivity::open()
{
    int screenNumber = 0;
    m_connection.reset(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t* connection = m_connection.get();
    if (xcb_connection_has_error(connection))
        return u"no X connection"_s;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present)
        return u"the X server has no XInput"_s;
    m_opcode = extension->major_opcode;
    // Raw events of every device reach root listeners from XInput 2.1 on.
    XcbOwned<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (!version ||
        (version->major_version < 2 || (version->major_version == 2 && version->minor_version < 1)))
        return u"the X server's XInput is older than 2.1"_s;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screens.rem && screenNumber > 0; --screenNumber)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return u"no X screen"_s;
    const RawMask mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
                       XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                           XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    XcbOwned<xcb_generic_error_t> error(xcb_request_check(
        connection, xcb_input_xi_select_events_checked(connection, screens.data->root, 1, &mask.head)));
    if (error)
        return u"the X server refused raw input events (error %1)"_s.arg(error->error_code);
    return QString();
}

void XInputActivity::readEvents()
{
    xcb_connection_t* connection = m_connection.get();
    bool press = false;
    while (XcbOwned<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            continue;
        const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event.get());
        if (raw->extension != m_opcode)
            continue;
        switch (raw->event_type) {
        case XCB_INPUT_RAW_KEY_PRESS:
            if (!(raw->flags & XCB_INPUT_KEY_EVENT_FLAGS_KEY_REPEAT) && !m_held.contains(raw->detail)) {
                m_held.insert(raw->detail);
                press = true;
            }
            break;
        case XCB_INPUT_RAW_KEY_RELEASE:
            m_held.remove(raw->detail);
            break;
        case XCB_INPUT_RAW_BUTTON_PRESS:
            press = true;
            break;
        default:
            break;
        }
    }
    if (xcb_connection_has_error(connection)) {
        AppLog(u"player"_s).info(u"the input watch lost its X connection"_s);
        stop();
        return;
    }
    if (press)
        emit pressed();
}

} // namespace lumi
