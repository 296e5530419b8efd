#pragma once

#include <QHash>
#include <cstdint>
#include <optional>

class 数据库操作模块;

// How each note window is arranged, kept in a table of our own beside Tips (OwnSchema); a note
// without a row opens with the plain look. Tips' own TopMost and Transparent columns are never
// read: every stored note holds Transparent 20, which would make every note see-through.
class NoteWindowStates {
  public:
    struct State {
        bool keepAbove = false;
        int transparency = 0;           // percent see-through, 0 to 90 in steps of 10
        std::optional<int> textPoints;  // none: the window's own font size
        bool allWorkspaces = false;     // on every virtual desktop
        std::optional<int> workspace;   // the virtual desktop it was last moved to, from 0
        bool operator==(const State&) const = default;
    };

    explicit NoteWindowStates(数据库操作模块& store) : store_(store) {}

    // Stored values as a window can take them (the file may have been written by anyone).
    static int cleanTransparency(int stored);
    static int cleanTextPoints(int stored);

    // A note's stored state, cleaned of values no window could take; none without a row or
    // where our tables are not used.
    std::optional<State> find(std::int64_t id) const;
    // Stores the state of an existing note (a note deleted meanwhile gets no row). Raises the
    // store's error when it cannot; a store that keeps none of our tables takes nothing.
    void save(std::int64_t id, const State& state) const;

    // Whether each note's window was open when the program last ran, for the notes with a
    // remembered choice; empty where our tables are not used.
    QHash<std::int64_t, bool> findShown() const;
    // Remembers the choices of existing notes in one transaction. Raises the store's error when
    // it cannot; a store that keeps none of our tables takes nothing.
    void saveShown(const QHash<std::int64_t, bool>& shown) const;

  private:
    数据库操作模块& store_;
};
