// A launcher's token for the running instance: Wayland's activation token, or an X11 startup
// id whose feedback (a busy cursor, a spinning launcher entry) must be ended.
#include <QGuiApplication>
#include <QString>

#include "platform/os/linux/x11_atoms.h"
#include "platform/os/window_hints.h"

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#if QT_CONFIG(xcb)

namespace {

// Qt ends the feedback of the id it was started with when it maps its first window; an id
// handed over by a later launch is ended here. The message goes to the root window in pieces
// of 20 bytes, the first typed _BEGIN, the last holding the terminating NUL.
void endStartupFeedback(xcb_connection_t* connection, const QString& id) {
    QByteArray message = "remove: ID=";
    for (const char c : id.toLatin1()) {
        if (c == '"' || c == '\\') message += '\\';
        message += c;
    }
    message += '\0';
    const xcb_atom_t begin = x11::atom("_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = x11::atom("_NET_STARTUP_INFO");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE || !screen) return;
    for (qsizetype sent = 0; sent < message.size(); sent += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = screen->root;
        event.type = sent == 0 ? begin : more;
        const auto piece = std::min<qsizetype>(20, message.size() - sent);
        std::memcpy(event.data.data8, message.constData() + sent, static_cast<std::size_t>(piece));
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
}

}  // namespace

#endif

void useActivationToken(const QString& token) {
    if (token.isEmpty()) return;
    if (windowSystemPlacesWindows()) {
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
        return;
    }
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb"))
        endStartupFeedback(x11->connection(), token);
#endif
}

}  // namespace platform
