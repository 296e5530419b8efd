#pragma once

#include <cstdint>

class QMenu;

// What a desktop note window needs of the main window: the current-note member and the note
// menu it pops up over itself.
class NoteMenuHost {
  public:
    virtual ~NoteMenuHost() = default;
    virtual void setCurrentNoteId(std::int32_t id) = 0;  // 当前便签ID
    virtual QMenu* noteMenu() = 0;                       // 便签菜单
};
