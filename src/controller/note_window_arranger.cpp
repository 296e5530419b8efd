#include "controller/note_window_arranger.h"

#include <QApplication>
#include <utility>

#include "notewindow/note_window.h"
#include "platform/core/error.h"
#include "platform/os/note_window_state_hints.h"
#include "platform/os/window_hints.h"
#include "platform/ui/guard.h"

namespace {

bool can(platform::WindowHint hint) {
    return hint == platform::WindowHint::Available;
}

}  // namespace

void NoteWindowArranger::attach(Form_Zettara& window, 数据库操作模块& store) {
    auto* arranger = new NoteWindowArranger(window, store);
    platform::guarded([&] { arranger->stored_ = NoteWindowStates(store).find(arranger->id_); });
    // The window-system hints go on the native window, which the first show makes just before
    // it maps it; making it earlier would cost every note window round trips to the X server.
    window.installEventFilter(arranger);
}

bool NoteWindowArranger::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show || arranged_) return false;
    arranged_ = true;
    auto& window = static_cast<Form_Zettara&>(*watched);
    // Nothing to do for the plain look: a note without state opens as it always has.
    if (stored_ && *stored_ != State{}) {
        apply(window, *stored_, State{});
        if (stored_->workspace && !stored_->allWorkspaces && can(platform::workspaceHint()))
            platform::putOnWorkspace(&window, *stored_->workspace);
    }
    platform::watchWorkspace(&window, [this, &window](int desktop) {
        // Not kept: a closing window that a window manager puts back on the first desktop as
        // it lets go, nor the pull onto the desktop of a parentless box (Qt makes it transient
        // for the whole program, and KWin brings every window of the program to it).
        if (window.isVisible() && !window.isClosing() && !QApplication::activeModalWidget())
            moved(desktop);
    });
    return false;
}

NoteWindowArranger::NoteWindowArranger(Form_Zettara& window, 数据库操作模块& store)
    : QObject(&window), store_(store), id_(window.noteId()) {}

void NoteWindowArranger::apply(Form_Zettara& window, const State& now, const State& before) {
    if (now.keepAbove != before.keepAbove && can(platform::keepAboveHint())) {
        platform::setKeepAbove(&window, now.keepAbove);
        window.setKeptAbove(now.keepAbove);
    }
    // An X11 window carries its opacity whether a compositor draws it now or starts later;
    // Wayland has no way to ask for it.
    if (now.transparency != before.transparency && !platform::windowSystemPlacesWindows())
        window.setWindowOpacity(1.0 - now.transparency / 100.0);
    if (now.textPoints != before.textPoints) window.setTextPoints(now.textPoints);
    if (now.allWorkspaces != before.allWorkspaces && can(platform::workspaceHint()))
        platform::setOnAllWorkspaces(&window, now.allWorkspaces);
}

void NoteWindowArranger::moved(int desktop) {
    // The first desktop is where the window was put when it opened; only a later move by the
    // user (or the window manager) is kept.
    const std::optional<int> was = std::exchange(desktop_, desktop);
    if (!was || *was == desktop) return;
    platform::guarded([&] {
        const NoteWindowStates states(store_);
        State state = states.find(id_).value_or(State{});
        if (state.workspace == desktop) return;
        state.workspace = desktop;
        states.save(id_, state);
    });
}
