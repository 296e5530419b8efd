#pragma once

#include <array>
#include <cstdint>

#include "platform/database.h"
#include "platform/list_view.h"

class NoteMenuHost;
class QWidget;

// Fills the main window's note list from the store and opens, refreshes and closes the desktop
// note windows. The check mark of a note's list item is the desktop switch.
class Class_主窗体 {
  public:
    // mainList is the main window's ListView_Zettara (刷新便签 always works on it); menuHost is
    // handed to every note window it opens.
    Class_主窗体(platform::ListView& mainList, NoteMenuHost& menuHost);

    void 初始化界面(platform::ListView& list);
    platform::Recordset 获取数据();
    void 刷新数据(platform::ListView& list, platform::Recordset& rs);
    // Opens a window for every ticked row; a row whose window cannot open is skipped. Returns
    // the number of rows skipped.
    int 初始化便签显示(platform::ListView& list);
    void 便签显示(const platform::ListItem& item);
    void 刷新便签();

    bool 列表就绪() const { return 列表就绪_ != 0; }

  private:
    void 初始化列();
    void 打开便签窗口(platform::ListView& list, std::int32_t index);

    std::array<QString, 5> 列标题;
    std::array<std::int32_t, 5> 列宽{};
    std::int16_t 列表就绪_ = 0;  // true = -1

    platform::ListView& mainList_;
    NoteMenuHost& menuHost_;
};
