#include "platform/os/linux/x11_atoms.h"

#if QT_CONFIG(xcb)
#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace platform::x11 {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

}  // namespace

xcb_connection_t* connection() {
    // The offscreen platform answers to the X11 interface too, without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow() {
    xcb_connection_t* c = connection();
    return c ? xcb_setup_roots_iterator(xcb_get_setup(c)).data->root
             : xcb_window_t{XCB_WINDOW_NONE};
}

xcb_atom_t atom(const char* name) {
    // Atoms never change on a server; one round trip per name for the whole run.
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
    xcb_connection_t* c = connection();
    if (!c) return XCB_ATOM_NONE;
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(key.size()), name), nullptr));
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (found != XCB_ATOM_NONE) cache.insert(key, found);
    return found;
}

xcb_window_t windowOf(const QWidget* window) {
    return static_cast<xcb_window_t>(window->internalWinId());
}

bool readCardinal(xcb_window_t window, xcb_atom_t property, std::uint32_t* value) {
    xcb_connection_t* c = connection();
    if (!c || window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return false;
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return false;
    *value = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return true;
}

}  // namespace platform::x11

#endif
