#include "controller/note_window_state_commands.h"

#include <QString>

#include "controller/note_list_controller.h"
#include "controller/note_window_arranger.h"
#include "notewindow/note_window.h"
#include "notewindow/text_sizes.h"
#include "platform/ui/form_font.h"

NoteWindowStateCommands::NoteWindowStateCommands(Class_主窗体& controller, 数据库操作模块& store)
    : controller_(controller), store_(store) {}

NoteWindowStates::State NoteWindowStateCommands::窗口状态(std::int64_t 便签ID) const {
    return NoteWindowStates(store_).find(便签ID).value_or(NoteWindowStates::State{});
}

void NoteWindowStateCommands::改变窗口状态(
    std::int64_t 便签ID, const std::function<void(NoteWindowStates::State&)>& change) {
    // Stored first: a choice the store refuses is reported and changes no window.
    const NoteWindowStates::State before = 窗口状态(便签ID);
    NoteWindowStates::State now = before;
    change(now);
    if (now == before) return;
    NoteWindowStates(store_).save(便签ID, now);
    // Written to the sync folder soon, as a changed note is.
    if (controller_.便签文件已改) controller_.便签文件已改();
    应用到窗口(便签ID, now, before);
}

void NoteWindowStateCommands::窗口状态已存(std::int64_t 便签ID,
                                           const NoteWindowStates::State& before) {
    应用到窗口(便签ID, 窗口状态(便签ID), before);
}

void NoteWindowStateCommands::应用到窗口(std::int64_t 便签ID, const NoteWindowStates::State& now,
                                         const NoteWindowStates::State& before) {
    for (Form_Zettara* window : controller_.便签窗口()) {
        if (window->noteId() == 便签ID) NoteWindowArranger::apply(*window, now, before);
    }
}

void NoteWindowStateCommands::便签菜单_总在最前(std::int64_t 便签ID) {
    改变窗口状态(便签ID, [](NoteWindowStates::State& s) { s.keepAbove = !s.keepAbove; });
}

void NoteWindowStateCommands::便签菜单_透明度(std::int64_t 便签ID, int percent) {
    改变窗口状态(便签ID, [percent](NoteWindowStates::State& s) { s.transparency = percent; });
}

void NoteWindowStateCommands::便签菜单_文字大小(std::int64_t 便签ID, int step) {
    改变窗口状态(便签ID, [step](NoteWindowStates::State& s) {
        s.textPoints = textsizes::stepped(s.textPoints, platform::formFont().pointSizeF(), step);
    });
}

void NoteWindowStateCommands::便签菜单_所有工作区(std::int64_t 便签ID) {
    改变窗口状态(便签ID, [](NoteWindowStates::State& s) { s.allWorkspaces = !s.allWorkspaces; });
}
