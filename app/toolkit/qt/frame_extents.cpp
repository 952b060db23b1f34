#include "app/toolkit/qt/frame_extents.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace mirunea::qt {

namespace {

// openbox and xfwm4 answer within a few milliseconds; a window manager that
// has not answered by then costs the start-up no more than this.
constexpr auto kAnswerTimeout = std::chrono::milliseconds(300);
constexpr auto kPollInterval = std::chrono::milliseconds(2);

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<uint32_t> property32(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                 xcb_atom_t type)
{
    const auto cookie = xcb_get_property(connection, 0, window, property, type, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// A window manager that follows the EWMH names its check window on the root
// window and on the check window itself; a stale name left by one that ended
// points to a window that is gone.
bool windowManagerRuns(xcb_connection_t* connection, xcb_window_t root)
{
    const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    const auto named = property32(connection, root, check, XCB_ATOM_WINDOW);
    if (named.size() != 1)
        return false;
    const auto confirmed = property32(connection, named[0], check, XCB_ATOM_WINDOW);
    return confirmed.size() == 1 && confirmed[0] == named[0];
}

bool supports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t hint)
{
    for (uint32_t supported : property32(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM)) {
        if (supported == hint)
            return true;
    }
    return false;
}

} // namespace

std::optional<QMargins> frameExtentsBeforeMapping(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());

    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr));
    if (!tree)
        return std::nullopt;
    const xcb_window_t root = tree->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!windowManagerRuns(connection, root) || !supports(connection, root, request))
        return std::nullopt;

    const xcb_atom_t extentsAtom = atom(connection, "_NET_FRAME_EXTENTS");
    // The answer must be the window manager's, not one left from an earlier mapping.
    xcb_delete_property(connection, id, extentsAtom);

    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    for (;;) {
        const auto extents = property32(connection, id, extentsAtom, XCB_ATOM_CARDINAL);
        if (extents.size() == 4) {
            // The window manager counts device pixels; the widget counts in its own.
            const qreal ratio = window->windowHandle() ? window->windowHandle()->devicePixelRatio() : 1.0;
            auto logical = [ratio](uint32_t pixels) { return static_cast<int>(std::lround(pixels / ratio)); };
            return QMargins(logical(extents[0]), logical(extents[2]), logical(extents[1]), logical(extents[3]));
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace mirunea::qt
