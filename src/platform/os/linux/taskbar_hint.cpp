// X11: the task bar and pager skip states of a window, set on the display connection Qt holds.
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>

#include "platform/os/linux/x11_atoms.h"
#include "platform/os/window_hints.h"

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#endif

namespace platform {

#if QT_CONFIG(xcb)

namespace {

// Writes the two states on the unmapped window. Qt merges its own states into the property
// when it maps the window (and flushes), and the window manager drops the property when the
// window is withdrawn, so this runs before every show.
void setSkipStates(xcb_connection_t* connection, xcb_window_t window) {
    // Atoms live as long as the X server: looked up once per process, not per window and show.
    const xcb_atom_t state = x11::atom("_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skips{x11::atom("_NET_WM_STATE_SKIP_TASKBAR"),
                                          x11::atom("_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skips[0] == XCB_ATOM_NONE || skips[1] == XCB_ATOM_NONE) return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(skips.size()), skips.data());
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
    // The native window is not made here: made early, it would be moved and sized again
    // before its first show, and each such change costs Qt round trips to the server. The
    // show event writes the states; a window that already exists gets them now.
    if (const WId id = window->internalWinId())
        setSkipStates(x11->connection(), static_cast<xcb_window_t>(id));
    window->installEventFilter(new SkipStatesOnShow(x11->connection(), window));
}

#else

void keepOffTaskbar(QWidget*) {}

#endif

}  // namespace platform
