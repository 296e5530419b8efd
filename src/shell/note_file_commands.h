#pragma once

#include <QCoreApplication>

class Class_主窗体;
class NoteCommands;
class 数据库操作模块;
namespace platform {
class ListView;
}  // namespace platform

// The commands that take notes to and from files: export, import and the restore of a backup.
// They reload the main window's list and its note windows through the note commands and the
// controller.
class NoteFileCommands {
    Q_DECLARE_TR_FUNCTIONS(NoteFileCommands)

  public:
    NoteFileCommands(platform::ListView& list, Class_主窗体& controller, 数据库操作模块& store,
                     NoteCommands& commands);

    // Every note to a file the user picks (JSON or text, by the file type); notes from such a
    // JSON file added as new ones, then the list reloaded.
    void 导出便签();
    void 导入便签();
    // Picks one of the note file's backups, asks once, and puts it in the store's place; the
    // list and the desktop windows then show the restored notes.
    void 从备份恢复();

  private:
    platform::ListView& list_;
    Class_主窗体& controller_;
    数据库操作模块& store_;
    NoteCommands& commands_;
};
