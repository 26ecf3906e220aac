#include "platform/linux/X11SaverSuspension.h"

#include "platform/linux/XcbOwned.h"

#include <xcb/res.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace lumi {

namespace {

// The X server's name for the resource type of a suspension record.
constexpr char suspensionType[] = "SaverSuspend";

} // namespace

struct X11SaverSuspension::Connection
{
    ~Connection()
    {
        if (xcb)
            xcb_disconnect(xcb);
    }
    xcb_connection_t* xcb = nullptr;
    xcb_atom_t type = XCB_ATOM_NONE;
};

X11SaverSuspension::X11SaverSuspension() : m_connection(std::make_unique<Connection>())
{
    xcb_connection_t* xcb = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(xcb)) {
        xcb_disconnect(xcb);
        return;
    }
    m_connection->xcb = xcb;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(xcb, &xcb_res_id);
    if (!extension || !extension->present)
        return;
    // Made here if no client suspended the saver yet: the server names its types by atoms.
    const XcbOwned<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        xcb, xcb_intern_atom(xcb, 0, uint16_t(std::strlen(suspensionType)), suspensionType), nullptr));
    if (atom)
        m_connection->type = atom->atom;
}

X11SaverSuspension::~X11SaverSuspension() = default;

bool X11SaverSuspension::isHeld() const
{
    xcb_connection_t* xcb = m_connection->xcb;
    if (!xcb || m_connection->type == XCB_ATOM_NONE)
        return false;
    // Errors are taken with their replies, so none waits unread on the connection.
    xcb_generic_error_t* error = nullptr;
    const XcbOwned<xcb_res_query_clients_reply_t> clients(
        xcb_res_query_clients_reply(xcb, xcb_res_query_clients(xcb), &error));
    std::free(error);
    if (!clients)
        return false;
    const xcb_res_client_t* client = xcb_res_query_clients_clients(clients.get());
    const int count = xcb_res_query_clients_clients_length(clients.get());
    // Every question goes out before the first answer is read.
    std::vector<xcb_res_query_client_resources_cookie_t> asked;
    asked.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        asked.push_back(xcb_res_query_client_resources(xcb, client[i].resource_base));
    bool held = false;
    for (const xcb_res_query_client_resources_cookie_t cookie : asked) {
        // A client that left meanwhile answers with an error.
        error = nullptr;
        const XcbOwned<xcb_res_query_client_resources_reply_t> resources(
            xcb_res_query_client_resources_reply(xcb, cookie, &error));
        std::free(error);
        if (!resources)
            continue;
        const xcb_res_type_t* type = xcb_res_query_client_resources_types(resources.get());
        for (int j = 0; j < xcb_res_query_client_resources_types_length(resources.get()); ++j)
            held = held || (type[j].resource_type == m_connection->type && type[j].count > 0);
    }
    return held;
}

} // namespace lumi
