#pragma once

#include <cstdint>

class 数据库操作模块;

// What the note editor needs of the main window: the note store, and someone to tell about a
// save so that the main window can show it.
class EditorHost {
  public:
    virtual ~EditorHost() = default;
    virtual 数据库操作模块& 数据库对象() = 0;
    // A note was stored (便签ID 0: a new note); closing: the editor closes after this save.
    // Never raises: what the main window cannot show it reports itself, and the save stands.
    virtual void 便签已保存(std::int64_t 便签ID, bool closing) = 0;
};
