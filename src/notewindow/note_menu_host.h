#pragma once

#include <cstdint>

// What a desktop note window needs of the main window: its note menu, popped up over the
// window for the window's note.
class NoteMenuHost {
  public:
    virtual ~NoteMenuHost() = default;
    // Makes `noteId` the current note (当前便签ID) and pops up the note menu (便签菜单).
    virtual void showNoteMenu(std::int64_t noteId) = 0;
};
