// X11: the task bar and pager skip states of a window, set on the display connection Qt holds.
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>

#include "platform/os/window_hints.h"

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#if QT_CONFIG(xcb)

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

// Writes the two states on the unmapped window. Qt merges its own states into the property
// when it maps the window, and the window manager drops the property when the window is
// withdrawn, so this runs before every show.
void setSkipStates(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skips{atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                          atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skips[0] == XCB_ATOM_NONE || skips[1] == XCB_ATOM_NONE) return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(skips.size()), skips.data());
    xcb_flush(connection);
}

class SkipStatesOnShow : public QObject {
  public:
    SkipStatesOnShow(xcb_connection_t* connection, QWidget* window)
        : QObject(window), connection_(connection) {}

  protected:
    // A widget's show event comes after its native window exists and before it is mapped.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            setSkipStates(connection_, static_cast<xcb_window_t>(
                                           static_cast<QWidget*>(watched)->internalWinId()));
        }
        return false;
    }

  private:
    xcb_connection_t* connection_;
};

}  // namespace

void keepOffTaskbar(QWidget* window) {
    // The offscreen platform answers to the X11 interface too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || QGuiApplication::platformName() != QLatin1String("xcb") ||
        !window->isWindow())
        return;
    setSkipStates(x11->connection(), static_cast<xcb_window_t>(window->winId()));
    window->installEventFilter(new SkipStatesOnShow(x11->connection(), window));
}

#else

void keepOffTaskbar(QWidget*) {}

#endif

}  // namespace platform
