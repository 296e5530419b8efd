// X11: keep-above through Qt's stay-on-top flag (Qt writes _NET_WM_STATE_ABOVE, merged with
// the skip states before each map), desktops through _NET_WM_DESKTOP, see-through through
// Qt's window opacity (_NET_WM_WINDOW_OPACITY), which only a compositing manager draws.
#include "platform/os/note_window_state_hints.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "platform/os/window_hints.h"

#if QT_CONFIG(xcb)
#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "platform/os/linux/x11_atoms.h"
#endif

namespace platform {

namespace {

#if QT_CONFIG(xcb)

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// A request to the window manager about one of our windows (EWMH client message).
void askWindowManager(xcb_window_t window, const char* message, std::array<std::uint32_t, 3> data) {
    xcb_connection_t* c = x11::connection();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = x11::atom(message);
    for (size_t i = 0; i < data.size(); ++i) event.data.data32[i] = data[i];
    event.data.data32[3] = 1;  // from a normal application
    xcb_send_event(c, 0, x11::rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

void setDesktopProperty(xcb_window_t window, std::uint32_t desktop) {
    xcb_connection_t* c = x11::connection();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x11::atom("_NET_WM_DESKTOP"),
                        XCB_ATOM_CARDINAL, 32, 1, &desktop);
    xcb_flush(c);
}

// Adds the keep-above state to a window about to be mapped. A native window's show event comes
// after the widget's (which writes the skip states) and before the map, where Qt merges its own
// states into what it finds.
class AboveOnMap : public QObject {
  public:
    explicit AboveOnMap(QObject* window) : QObject(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            const xcb_atom_t above = x11::atom("_NET_WM_STATE_ABOVE");
            const auto id = static_cast<xcb_window_t>(static_cast<QWindow*>(watched)->winId());
            xcb_change_property(x11::connection(), XCB_PROP_MODE_APPEND, id,
                                x11::atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &above);
            deleteLater();  // once: the window manager keeps it from here on
        }
        return false;
    }
};

// One filter for every watched window: property changes arrive on Qt's connection.
class WorkspaceWatch : public QAbstractNativeEventFilter {
  public:
    static WorkspaceWatch& instance() {
        static WorkspaceWatch* watch = [] {
            auto* w = new WorkspaceWatch;
            QAbstractEventDispatcher::instance()->installNativeEventFilter(w);
            return w;
        }();
        return *watch;
    }

    QHash<xcb_window_t, std::function<void(int)>> watched;
    // Windows opened on another desktop than the current one, until the window manager's
    // call for attention to them is taken back.
    QSet<xcb_window_t> openedElsewhere;

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY || watched.isEmpty()) return false;
        auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (change->state != XCB_PROPERTY_NEW_VALUE) return false;
        if (change->atom == state_ && openedElsewhere.contains(change->window)) {
            quieten(change->window);
            return false;
        }
        if (change->atom != desktop_) return false;
        const auto found = watched.constFind(change->window);
        std::uint32_t desktop = kAllDesktops;
        if (found != watched.constEnd() && x11::readCardinal(change->window, desktop_, &desktop) &&
            desktop != kAllDesktops) {
            (*found)(static_cast<int>(desktop));
        }
        return false;
    }

  private:
    // KWin asks for attention for a window it maps on another desktop than the current one, as
    // if the program wanted the user there. A note put back on its own desktop does not.
    void quieten(xcb_window_t window) {
        xcb_connection_t* c = x11::connection();
        const xcb_atom_t attention = x11::atom("_NET_WM_STATE_DEMANDS_ATTENTION");
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, state_, XCB_ATOM_ATOM, 0, 32),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 32) return;
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        if (std::find(atoms, atoms + count, attention) == atoms + count) return;
        openedElsewhere.remove(window);
        askWindowManager(window, "_NET_WM_STATE", {0, attention, 0});
    }

    xcb_atom_t desktop_ = x11::atom("_NET_WM_DESKTOP");
    xcb_atom_t state_ = x11::atom("_NET_WM_STATE");
};

#endif

bool onX11() {
#if QT_CONFIG(xcb)
    return x11::connection() != nullptr;
#else
    return false;
#endif
}

}  // namespace

WindowHint keepAboveHint() {
    return windowSystemPlacesWindows() ? WindowHint::NotOnWayland : WindowHint::Available;
}

WindowHint workspaceHint() {
    if (windowSystemPlacesWindows()) return WindowHint::NotOnWayland;
    return onX11() ? WindowHint::Available : WindowHint::NotOnPlatform;
}

WindowHint transparencyHint() {
    if (windowSystemPlacesWindows()) return WindowHint::NotOnWayland;
#if QT_CONFIG(xcb)
    if (xcb_connection_t* c = x11::connection()) {
        // A compositing manager owns the selection _NET_WM_CM_S<screen>.
        const xcb_atom_t selection = x11::atom("_NET_WM_CM_S0");
        const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr),
            &std::free);
        if (!owner || owner->owner == XCB_WINDOW_NONE) return WindowHint::NoCompositor;
    }
#endif
    return WindowHint::Available;
}

void setKeepAbove(QWidget* window, bool above) {
#if QT_CONFIG(xcb)
    // On X11 the state is ours alone: Qt's stay-on-top flag, set before the first map, makes Qt
    // build another native window that has lost the hints set on the first.
    if (const xcb_window_t id = x11::windowOf(window); x11::connection() && id != XCB_WINDOW_NONE) {
        // Mapped, the window manager owns the state and is asked; before that it is read at map.
        if (window->testAttribute(Qt::WA_Mapped)) {
            askWindowManager(id, "_NET_WM_STATE",
                             {above ? 1u : 0u, x11::atom("_NET_WM_STATE_ABOVE"), 0});
        } else if (above && window->windowHandle()) {
            window->windowHandle()->installEventFilter(new AboveOnMap(window->windowHandle()));
        }
        return;
    }
#endif
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, above);
    if (flags == window->windowFlags()) return;
    // Not QWidget::setWindowFlags: that hides a shown window.
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
}

#if QT_CONFIG(xcb)

void setOnAllWorkspaces(QWidget* window, bool all) {
    const xcb_window_t id = x11::windowOf(window);
    if (!x11::connection() || id == XCB_WINDOW_NONE) return;
    if (!window->testAttribute(Qt::WA_Mapped)) {
        // Read by the window manager when it takes the window on.
        if (all) setDesktopProperty(id, kAllDesktops);
        return;
    }
    std::uint32_t current = 0;
    x11::readCardinal(x11::rootWindow(), x11::atom("_NET_CURRENT_DESKTOP"), &current);
    askWindowManager(id, "_NET_WM_DESKTOP", {all ? kAllDesktops : current, 0, 0});
    // Window managers that keep "sticky" apart from the desktop number want this as well.
    askWindowManager(id, "_NET_WM_STATE", {all ? 1u : 0u, x11::atom("_NET_WM_STATE_STICKY"), 0});
}

void putOnWorkspace(QWidget* window, int workspace) {
    const xcb_window_t id = x11::windowOf(window);
    std::uint32_t count = 0;
    if (workspace < 0 || id == XCB_WINDOW_NONE ||
        !x11::readCardinal(x11::rootWindow(), x11::atom("_NET_NUMBER_OF_DESKTOPS"), &count) ||
        static_cast<std::uint32_t>(workspace) >= count)
        return;
    setDesktopProperty(id, static_cast<std::uint32_t>(workspace));
    std::uint32_t current = 0;
    if (x11::readCardinal(x11::rootWindow(), x11::atom("_NET_CURRENT_DESKTOP"), &current) &&
        current != static_cast<std::uint32_t>(workspace)) {
        // Wanting the focus, it would take the user to its desktop (KWin does). The native
        // window exists already: Qt reads the attribute from it, as this property, at the map.
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        if (QWindow* handle = window->windowHandle())
            handle->setProperty("_q_showWithoutActivating", true);
        WorkspaceWatch::instance().openedElsewhere.insert(id);
    }
}

void watchWorkspace(QWidget* window, std::function<void(int)> moved) {
    const xcb_window_t id = x11::windowOf(window);
    if (!x11::connection() || id == XCB_WINDOW_NONE) return;
    WorkspaceWatch::instance().watched.emplace(id, std::move(moved));
    QObject::connect(window, &QObject::destroyed, [id] {
        WorkspaceWatch::instance().watched.remove(id);
        WorkspaceWatch::instance().openedElsewhere.remove(id);
    });
}

#else

void setOnAllWorkspaces(QWidget*, bool) {}
void putOnWorkspace(QWidget*, int) {}
void watchWorkspace(QWidget*, std::function<void(int)>) {}

#endif

}  // namespace platform
