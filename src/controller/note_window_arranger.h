#pragma once

#include <QObject>
#include <cstdint>
#include <optional>

#include "store/note_window_states.h"

class Form_Zettara;
class 数据库操作模块;

// Arranges a note window as its note's stored window state says (on top, see-through, text
// size, on every desktop, on its desktop) and keeps the desktop the user moves it to. What the
// window system cannot do is left undone; the stored choice stays for where it can.
class NoteWindowArranger : public QObject {
  public:
    using State = NoteWindowStates::State;

    // For a window about to be shown, with its note ID set. A note without a stored state, or
    // with one that cannot be read, opens with the plain look. The arranger lives as the
    // window's child; the store must outlive the window or be closed first.
    static void attach(Form_Zettara& window, 数据库操作模块& store);
    // A state changed from `before` to `now`, on a shown window.
    static void apply(Form_Zettara& window, const State& now, const State& before);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    NoteWindowArranger(Form_Zettara& window, 数据库操作模块& store);
    void moved(int workspace);

    数据库操作模块& store_;
    std::int64_t id_;
    std::optional<int> desktop_;   // the one the window is on, as far as we know
    std::optional<State> stored_;  // as read when the window was made
    bool arranged_ = false;        // at its first show
};
