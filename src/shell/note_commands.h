#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "controller/note_list_controller.h"

class EditorHost;
class Form_添加便签;
class 数据库操作模块;
namespace platform {
class ListView;
}  // namespace platform

// The list commands behind every menu (menu bar, list menu, tray menu, note menu), working on
// the main window's note list. Keeps the editors it opens, so that the exit can close them and
// a note is changed in one editor at a time.
class NoteCommands : public QObject {
    Q_DECLARE_TR_FUNCTIONS(NoteCommands)

  public:
    // list and controller are the main window's; host is what the editors report to.
    NoteCommands(platform::ListView& list, Class_主窗体& controller, 数据库操作模块& store,
                 EditorHost& host);
    ~NoteCommands() override;  // editors still open go with it

    // Delete and modify act on the selected row; show all and hide all on the rows the list
    // shows (all of them unless a find hides some).
    void 新建便签();
    void 删除便签();
    // Brings back the most recently deleted note, with its window if it had one open.
    void 撤销删除();
    // A note that already has an editor brings that editor up instead of opening another.
    void 修改便签();
    // The same for the note of a row (a double click in the list), which becomes the selected
    // one; row 0: nothing.
    void 修改行便签(int row);
    void 全部显示();
    void 全部隐藏();
    // Empties the list and fills it again from the store; a row is ticked when its note has a
    // window.
    void 刷新列表();
    // The same, with the check marks taken from where ticks says.
    void 刷新列表(Class_主窗体::Ticks ticks);

    // Start-up: old deletions are forgotten, and 撤销删除 learns whether it has work.
    void 整理回收站();
    // Whether 撤销删除 has a note to bring back, as far as the store last said.
    bool 撤销删除可用() const { return 撤销删除可用_; }
    // Told when 撤销删除可用 changed.
    std::function<void()> stateChanged;

    // The note menu's commands act on the list row of 便签ID, shown or hidden by a find;
    // without one nothing happens.
    void 便签菜单_修改(std::int64_t 便签ID);
    void 便签菜单_删除(std::int64_t 便签ID);
    void 便签菜单_关闭窗口(std::int64_t 便签ID);
    // Gives the note both colours (0x00BBGGRR) through the editor's update: its windows, its
    // row and an editor open on it follow. A note deleted meanwhile changes nothing.
    void 便签菜单_颜色(std::int64_t 便签ID, std::int32_t 背景颜色, std::int32_t 字体颜色);
    // The note's stored back and text colour; nothing when it has none that can be shown.
    std::optional<std::pair<std::int32_t, std::int32_t>> 便签颜色(std::int64_t 便签ID) const;

    // An editor stored a note (便签ID 0: a new one, which gets its window): the list and the
    // note's windows follow (Class_主窗体::便签已保存).
    void 便签已保存(std::int64_t 便签ID, bool closing);
    // Each editor with changes asks, in turn, whether to save them; false when one was
    // cancelled (it stays open, and so do those not yet asked).
    bool 询问已修改的编辑器();
    // The end of the desktop session: every changed editor stores its text without asking.
    // Store errors are logged; nothing can be shown any more.
    void 保存全部编辑器();
    // The exit command: every editor closes.
    void 关闭全部编辑器();

    // A note deleted on another machine has gone to this machine's trash: its windows close,
    // its row goes and 撤销删除 can bring it back.
    void 已在别处删除(std::int64_t id);

  private:
    // The selected row, or 0: silently for an empty list, with a message when none is selected.
    int 选中行() const;
    // The list row of 便签ID, or 0.
    int 便签行(std::int64_t 便签ID) const;
    void 删除行(int row);  // row 0: nothing
    void 修改行(int row);
    // Brings up the editor open on the note; false when there is none.
    bool 前置编辑器(std::int64_t 便签ID);
    void setAllChecks(bool checked);
    void 更新撤销删除();
    void keepEditor(Form_添加便签* editor);
    // The editors still open, in the order they were opened.
    std::vector<QPointer<Form_添加便签>> openEditors() const;

    platform::ListView& list_;
    Class_主窗体& controller_;
    数据库操作模块& store_;
    EditorHost& host_;
    std::vector<QPointer<Form_添加便签>> editors_;
    bool 撤销删除可用_ = false;
};
