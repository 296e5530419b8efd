#pragma once

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QVariant>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/db/database.h"
#include "platform/ui/list_view.h"
#include "store/note_placements.h"

class Form_Zettara;
class NoteMenuHost;
class 数据库操作模块;

// Fills the main window's note list from the store and opens, refreshes and closes the desktop
// note windows, which it owns. The check mark of a note's list item is the desktop switch.
class Class_主窗体 {
  public:
    // mainList is the main window's ListView_Zettara: its item-check notification is wired
    // here, the one place the program and the tests share, and 刷新便签 always works on it.
    // menuHost is handed to every note window it opens.
    Class_主窗体(platform::ListView& mainList, NoteMenuHost& menuHost, 数据库操作模块& store);
    // The note windows still open go with it.
    ~Class_主窗体();
    Class_主窗体(const Class_主窗体&) = delete;
    Class_主窗体& operator=(const Class_主窗体&) = delete;

    // Both return the number of rows left out because their ID is not stored as an integer:
    // such a row could never be opened, changed or deleted safely.
    int 初始化界面(platform::ListView& list);
    platform::Recordset 获取数据();
    int 刷新数据(platform::ListView& list, platform::Recordset& rs);
    // Opens a window for every ticked row; a row whose window cannot open is skipped. Returns
    // the number of rows skipped.
    int 初始化便签显示(platform::ListView& list);
    void 便签显示(const platform::ListItem& item);
    void 刷新便签();
    // After the store's notes were replaced and the list reloaded: windows of notes no longer
    // ticked (or gone) close, the others take their note's text and colours, and ticked notes
    // without a window open. Returns the number of windows that could not open.
    int 同步便签窗口();

    bool 列表就绪() const { return 列表就绪_; }

    // The open note windows, in the order they were opened; a window that has accepted a
    // close no longer counts.
    std::vector<Form_Zettara*> 便签窗口();
    // Closes every open note window (the exit command).
    void 关闭全部便签();

  private:
    void 初始化列();
    void 打开便签窗口(platform::ListView& list, std::int32_t index);

    // What the windows opened at start-up need from the store, read in two statements instead
    // of two per note. A note missing from it is looked up on its own.
    struct StartupLooks {
        QHash<QString, std::pair<QVariant, QVariant>> colours;  // ID text -> back, text colour
        std::optional<NotePlacements::Places> places;
    };
    const StartupLooks* startupLooks_ = nullptr;

    std::array<QString, 5> 列标题;
    std::array<std::int32_t, 5> 列宽{};
    bool 列表就绪_ = false;

    platform::ListView& mainList_;
    NoteMenuHost& menuHost_;
    数据库操作模块& 数据库对象;
    std::vector<QPointer<Form_Zettara>> windows_;
};
