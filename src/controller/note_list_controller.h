#pragma once

#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "controller/list_reload_retry.h"
#include "platform/ui/list_view.h"
#include "store/note.h"
#include "store/note_file_changes.h"
#include "store/note_placements.h"
#include "store/note_repository.h"

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

    // Where a fill takes its check marks from: the store (each note's remembered choice, else
    // Visual; at start-up and after a restore), or the desktop (ticked exactly when the note
    // has a window, or is waiting for one; every other reload of the main list).
    enum class Ticks { FromStore, FromWindows };

    // Both return the number of rows left out because their ID is not stored as an integer:
    // such a row could never be opened, changed or deleted safely.
    int 初始化界面(platform::ListView& list);
    NoteRepository::Listing 获取数据();
    int 刷新数据(platform::ListView& list, const NoteRepository::Listing& notes,
                 Ticks ticks = Ticks::FromStore);

    // Brings the main list to exactly the rows that emptying it and filling it again would
    // give (order, texts, ticks, no row selected), changing only the rows that differ. A store
    // that cannot be read raises its error and leaves the rows as they were.
    void 更新列表(Ticks ticks = Ticks::FromWindows);
    // This program has just stored, added or deleted note id: the same as 更新列表 followed by
    // refreshing the note's windows, at the cost of that one note, unless something else has
    // changed the file meanwhile.
    void 便签已变(std::int64_t id);
    // This program has stored note id (a new note: its window opens too). The note is in the
    // file by now, so a list that cannot follow must not make the save look failed: the
    // trouble is told once (when tell) and the list reloaded when one of the program's
    // windows is next activated.
    void 便签已保存(std::int64_t id, bool newNote, bool tell = true);
    // Told after the list has followed a save.
    std::function<void()> 列表已刷新;
    // Told whenever the list has followed a change of the note file (a save, add or delete of
    // this program's, a reload): the sync folder writes what changed.
    std::function<void()> 便签文件已改;
    // Opens a window for every ticked row; a row whose window cannot open is skipped. Returns
    // the number of rows skipped.
    int 初始化便签显示(platform::ListView& list);
    // The same for the main list, a batch per pass of the event loop, so that the main window
    // answers meanwhile. A row unticked or removed before its turn gets no window. done is told
    // the number of rows skipped once every row has had its turn (not after 关闭全部便签).
    void 分批显示便签(std::function<void(int failed)> done);
    bool 正在分批显示() const { return batchTimer_.isActive(); }
    // A tick opens a window (a mark whose window cannot open is taken off again, and the error
    // goes to the caller), an untick closes the note's windows; on the main list both are
    // remembered as the note's choice for the next start.
    void 便签显示(const platform::ListItem& item);
    void 刷新便签();
    // After the store's notes were replaced and the list reloaded: windows of notes no longer
    // ticked (or gone) close, the others take their note's text and colours, and ticked notes
    // without a window open. Returns the number of windows that could not open.
    int 同步便签窗口();

    bool 列表就绪() const { return 列表就绪_; }

    // Opens a window for a note not yet stored, near `near` (global, kept on a screen), with
    // its text editable and the focus. The note is added with its first typed character and
    // is then like any other; a window left before anything was typed closes, storing nothing.
    // For a filled list (after the start-up's load).
    void 就地新建便签(const QPoint& near);
    // Ends editing in place in the windows of note id (every window when none), which stores
    // what was typed.
    void 结束就地编辑(std::optional<std::int64_t> id = std::nullopt);
    // Asked before a note's text turns editable in its window: brings up the editor open on
    // note id and says true when there is one, so that a note has one writer at a time.
    std::function<bool(std::int64_t id)> 前置便签编辑器;

    // The open note windows, in the order they were opened; a window that has accepted a
    // close no longer counts.
    std::vector<Form_Zettara*> 便签窗口();
    // Closes every open note window (the exit command): the notes keep their remembered
    // choices, and windows still waiting for their batch never open.
    void 关闭全部便签();

  private:
    // Whether note id counts as shown when ticks come from the desktop.
    bool 窗口已开(std::int64_t id);
    // Whether each listed note is ticked, as ticks says.
    std::vector<bool> 勾选(const NoteRepository::Listing& notes, Ticks ticks);
    // Appends a row for each note (the list told once, at the end).
    void 添加行(platform::ListView& list, const NoteRepository::Listing& notes,
                const std::vector<bool>& ticked);
    // The ID and texts of a note's row, as a fill would list them; only what differs changes.
    void 填写行(platform::ListView& list, int index, std::int64_t id,
                const std::array<QStringView, 3>& texts);
    void 填写行(platform::ListView& list, int index, const NoteRepository::Listing& notes,
                size_t row);
    // Removes the rows of notes gone (or listed twice) when the rows left stand in the order of
    // notes and few rows change; false (nothing removed) when a new fill costs less.
    bool 以最少改动排列(const NoteRepository::Listing& notes);
    // The windows of note id take its listed text and stored colours.
    void 刷新便签窗口(std::int64_t id, const std::vector<Form_Zettara*>& windows);
    void 初始化列();
    void 打开便签窗口(platform::ListView& list, std::int32_t index);
    // Text typed into the window in place is stored, and followed like an editor's save.
    void 就地编辑(Form_Zettara& window);
    void 就地保存后(Form_Zettara& window, std::int64_t id, bool added);
    void 显示下一批();
    void 结束分批();
    void 记住显示(std::int64_t id, bool shown);
    void 保存后刷新(std::optional<std::int64_t> id, bool tell);
    void 显示新便签();
    void 保存显示();

    // What the windows opened at start-up need from the store, read in two statements instead
    // of two per note. A note missing from it is looked up on its own.
    struct StartupLooks {
        QHash<std::int64_t, std::pair<StoredColour, StoredColour>> colours;  // back, text colour
        std::optional<NotePlacements::Places> places;
    };
    void 读取启动外观();
    std::optional<StartupLooks> startupLooks_;

    // The batches: the IDs of the ticked rows in list order, the next one's position, and which
    // are still waiting (a row unticked meanwhile leaves it).
    std::vector<std::int64_t> batchOrder_;
    size_t batchNext_ = 0;
    QSet<std::int64_t> waiting_;
    int batchFailed_ = 0;
    std::function<void(int)> batchDone_;
    QTimer batchTimer_;

    // Choices not yet written: stored together once the current event is done.
    QHash<std::int64_t, bool> shownToSave_;
    QTimer saveTimer_;

    std::array<QString, 5> 列标题;
    std::array<std::int32_t, 5> 列宽{};
    bool 列表就绪_ = false;

    platform::ListView& mainList_;
    NoteMenuHost& menuHost_;
    数据库操作模块& 数据库对象;
    // Whether the file changed under the list since it was last read whole.
    NoteFileChanges changes_;
    ListReloadRetry retry_{[this] { 保存后刷新(std::nullopt, false); }};
    std::vector<std::int64_t> 新便签待显示_;  // saved notes whose windows open after the reload
    std::vector<QPointer<Form_Zettara>> windows_;
};
