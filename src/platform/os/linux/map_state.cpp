// X11: the state a window asks to be mapped in (ICCCM WM_HINTS initial_state).
#include <QGuiApplication>
#include <QWidget>

#include "platform/os/linux/x11_atoms.h"
#include "platform/os/window_hints.h"

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace platform {

void mapAsNormal(QWidget* window) {
#if QT_CONFIG(xcb)
    xcb_connection_t* c = x11::connection();
    const xcb_window_t id = x11::windowOf(window);
    if (!c || id == XCB_WINDOW_NONE) return;
    // Qt writes "iconic" when the window is minimised, and leaves it when the window manager
    // restores the window: withdrawn and mapped again, the window would open minimised.
    constexpr std::uint32_t kStateHint = 1u << 1;
    constexpr std::uint32_t kNormalState = 1;
    std::array<std::uint32_t, 9> hints{};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, hints.size()),
            nullptr),
        &std::free);
    if (reply && reply->format == 32) {
        const auto length = std::min<std::size_t>(
            hints.size() * 4, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), length);
    }
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        static_cast<std::uint32_t>(hints.size()), hints.data());
    xcb_flush(c);
#else
    (void)window;
#endif
}

}  // namespace platform
