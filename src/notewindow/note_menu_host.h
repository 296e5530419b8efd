#pragma once

#include <cstdint>

class QPoint;
class QWidget;

// What a desktop note window needs of the main window: its note menu, popped up over the
// window for the window's note, and the menu's text sizes from the keyboard and wheel.
class NoteMenuHost {
  public:
    virtual ~NoteMenuHost() = default;
    // Makes `noteId` the current note (当前便签ID) and pops up the note menu (便签菜单) over
    // `note`, the window it is for, at `at` in that window.
    virtual void showNoteMenu(std::int64_t noteId, QWidget& note, const QPoint& at) = 0;
    // The note's text one size larger (step 1), smaller (-1), or back to its own size (0), as
    // the note menu's 放大文字, 缩小文字 and 默认大小 do.
    virtual void stepNoteText(std::int64_t noteId, int step) = 0;
};
