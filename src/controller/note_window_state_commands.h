#pragma once

#include <cstdint>
#include <functional>

#include "store/note_window_states.h"

class Class_主窗体;
class 数据库操作模块;

// The note menu's window commands: each stores the note's new window state and applies it at
// once to every open window of the note, which the controller owns.
class NoteWindowStateCommands {
  public:
    NoteWindowStateCommands(Class_主窗体& controller, 数据库操作模块& store);

    void 便签菜单_总在最前(std::int64_t 便签ID);
    void 便签菜单_透明度(std::int64_t 便签ID, int percent);
    // One size larger (1), smaller (-1), or the window's own size (0).
    void 便签菜单_文字大小(std::int64_t 便签ID, int step);
    void 便签菜单_所有工作区(std::int64_t 便签ID);
    // The note's window state was stored elsewhere (a sync merge): its open windows, which show
    // `before`, take the stored one.
    void 窗口状态已存(std::int64_t 便签ID, const NoteWindowStates::State& before);
    // The stored window state of 便签ID; the plain look when there is none.
    NoteWindowStates::State 窗口状态(std::int64_t 便签ID) const;

  private:
    void 改变窗口状态(std::int64_t 便签ID,
                      const std::function<void(NoteWindowStates::State&)>& change);
    void 应用到窗口(std::int64_t 便签ID, const NoteWindowStates::State& now,
                    const NoteWindowStates::State& before);

    Class_主窗体& controller_;
    数据库操作模块& store_;
};
