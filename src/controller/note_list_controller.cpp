#include "controller/note_list_controller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <map>
#include <memory>

#include "controller/in_place_saver.h"
#include "controller/note_placement_keeper.h"
#include "controller/note_window_arranger.h"
#include "notewindow/note_window.h"
#include "notewindow/screen_fit.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/ui/guard.h"
#include "platform/ui/msgbox.h"
#include "store/database_module.h"
#include "store/note_placements.h"
#include "store/note_window_states.h"

namespace {

Q_LOGGING_CATEGORY(lcShown, "zettara.shown")

// How long one batch of start-up windows may take: short enough for the main window to answer
// a key or a menu between two batches without the user noticing.
constexpr qint64 kBatchMs = 25;

// Raises the error reading the colour gave, as reading it now would.
QColor colourOf(const StoredColour& colour) {
    return platform::toQColor(colourValue(colour));
}

}  // namespace

Class_主窗体::Class_主窗体(platform::ListView& mainList, NoteMenuHost& menuHost,
                           数据库操作模块& store)
    : mainList_(mainList), menuHost_(menuHost), 数据库对象(store), changes_(store) {
    初始化列();
    mainList_.itemCheck = [this](const platform::ListItem& item) { 便签显示(item); };
    batchTimer_.setInterval(0);
    QObject::connect(&batchTimer_, &QTimer::timeout,
                     [this] { platform::runEvent([this] { 显示下一批(); }); });
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(0);
    QObject::connect(&saveTimer_, &QTimer::timeout, [this] { 保存显示(); });
}

Class_主窗体::~Class_主窗体() {
    保存显示();
    for (const QPointer<Form_Zettara>& window : windows_) delete window.data();
}

void Class_主窗体::初始化列() {
    列标题 = {QCoreApplication::translate("NoteListController", "显示"),
              QCoreApplication::translate("NoteListController", "编号"),
              QCoreApplication::translate("NoteListController", "内容"),
              QCoreApplication::translate("NoteListController", "创建时间"),
              QCoreApplication::translate("NoteListController", "修改时间")};
    列宽 = {540, 1, 4000, 2000, 2000};
}

int Class_主窗体::初始化界面(platform::ListView& list) {
    for (size_t i = 0; i < 列标题.size(); ++i) list.addColumn(列标题[i], 列宽[i]);
    const int skipped = 刷新数据(list, 获取数据());
    if (&list == &mainList_) platform::guarded([&] { changes_.markRead(); });
    return skipped;
}

NoteRepository::Listing Class_主窗体::获取数据() {
    return NoteRepository(数据库对象).all();
}

std::vector<bool> Class_主窗体::勾选(const NoteRepository::Listing& notes, Ticks ticks) {
    QHash<std::int64_t, bool> remembered;
    // A note's window stands for its choice; one still waiting for its batch counts as open.
    QSet<std::int64_t> open;
    if (ticks == Ticks::FromStore) {
        // Without them every note follows Visual.
        platform::guarded([&] { remembered = NoteWindowStates(数据库对象).findShown(); });
    } else {
        open = waiting_;
        for (const Form_Zettara* window : 便签窗口()) open.insert(window->noteId());
    }
    std::vector<bool> ticked;
    ticked.reserve(notes.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        const std::int64_t id = notes.id(i);
        ticked.push_back(ticks == Ticks::FromWindows ? open.contains(id)
                                                     : remembered.value(id, notes.visual(i)));
    }
    return ticked;
}

void Class_主窗体::填写行(platform::ListView& list, int index, std::int64_t id,
                          const std::array<QStringView, 3>& texts) {
    // Compared before anything is made: a reload over unchanged rows makes no string at all.
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), id).ptr;
    const QLatin1StringView idText(digits.data(), end);
    if (list.subItem(index, 1) != idText) list.setSubItem(index, 1, QString(idText));
    list.setId(index, id);
    for (int k = 2; k <= 4; ++k) {
        const QStringView text = texts[static_cast<size_t>(k - 2)];
        if (list.subItem(index, k) != text) list.setSubItem(index, k, text.toString());
    }
}

void Class_主窗体::填写行(platform::ListView& list, int index, const NoteRepository::Listing& notes,
                          size_t row) {
    using Text = NoteRepository::Listing::Text;
    填写行(list, index, notes.id(row),
           {notes.text(row, Text::Content), notes.text(row, Text::CreateTime),
            notes.text(row, Text::ChangeTime)});
}

void Class_主窗体::添加行(platform::ListView& list, const NoteRepository::Listing& notes,
                          const std::vector<bool>& ticked) {
    list.reserve(static_cast<int>(notes.size()));
    // The view hears of the new rows once, at the end, not once per row and cell.
    const platform::ListView::AppendBatch batch(list);
    for (size_t i = 0; i < notes.size(); ++i) {
        const int index = list.add(QString()).index();
        if (ticked[i]) list.setChecked(index, true);
        填写行(list, index, notes, i);
    }
}

int Class_主窗体::刷新数据(platform::ListView& list, const NoteRepository::Listing& listing,
                           Ticks ticks) {
    // A reload follows a change in the store: the colours read for the batches may be old.
    if (startupLooks_) startupLooks_->colours.clear();
    列表就绪_ = false;
    添加行(list, listing, 勾选(listing, ticks));
    列表就绪_ = true;
    return listing.skipped;
}

void Class_主窗体::更新列表(Ticks ticks) {
    if (便签文件已改) 便签文件已改();
    // Read first: a store that cannot be read leaves the rows as they were.
    const NoteRepository::Listing notes = 获取数据();
    if (startupLooks_) startupLooks_->colours.clear();
    const std::vector<bool> ticked = 勾选(notes, ticks);
    platform::ListView& list = mainList_;
    // A fill leaves no row selected.
    list.deselectAll();
    const QScopedValueRollback filling(列表就绪_, false);

    // Most often the same notes stand in the same rows and only texts or ticks may differ.
    bool sameRows = list.count() == static_cast<int>(notes.size());
    for (size_t i = 0; sameRows && i < notes.size(); ++i)
        sameRows = list.id(static_cast<int>(i) + 1) == notes.id(i);
    if (!sameRows && !以最少改动排列(notes)) {
        list.clear();
        添加行(list, notes, ticked);
    } else {
        for (size_t i = 0; i < notes.size(); ++i) {
            const int index = static_cast<int>(i) + 1;
            if (index > list.count() || list.id(index) != notes.id(i))
                list.insert(index, QString());
            list.setChecked(index, ticked[i]);
            填写行(list, index, notes, i);
        }
    }
    platform::guarded([&] { changes_.markRead(); });
}

bool Class_主窗体::以最少改动排列(const NoteRepository::Listing& notes) {
    platform::ListView& list = mainList_;
    // Far more changes than a save makes cost less as one new fill.
    constexpr int kMaxMoves = 256;
    QHash<std::int64_t, int> wanted;
    wanted.reserve(static_cast<qsizetype>(notes.size()));
    for (size_t i = 0; i < notes.size(); ++i) wanted.insert(notes.id(i), static_cast<int>(i));
    std::vector<int> gone;
    QSet<std::int64_t> kept;
    for (int row = 1; row <= list.count(); ++row) {
        const std::optional<std::int64_t> id = list.id(row);
        if (!id || !wanted.contains(*id) || kept.contains(*id)) {
            gone.push_back(row);
        } else {
            kept.insert(*id);
        }
    }
    // Rows to remove, then rows to insert.
    const size_t moves = gone.size() + (notes.size() - static_cast<size_t>(kept.size()));
    if (moves > kMaxMoves) return false;
    // The rows kept must already stand in the new order, else they would have to move.
    int last = -1;
    for (int row = 1; row <= list.count(); ++row) {
        const std::optional<std::int64_t> id = list.id(row);
        if (!id || !kept.contains(*id)) continue;
        const int at = wanted.value(*id);
        if (at <= last) return false;
        last = at;
    }
    // From the bottom up, so that the rows above stay put.
    for (auto row = gone.rbegin(); row != gone.rend(); ++row) list.remove(*row);
    return true;
}

void Class_主窗体::便签已变(std::int64_t id) {
    if (便签文件已改) 便签文件已改();
    if (!changes_.onlyOursSinceRead() || !changes_.listedInIdOrder()) {
        更新列表();
        刷新便签();
        return;
    }
    // Only this note can differ from what a new read would list; its row alone is brought up
    // to date, in the place a read would give it.
    if (startupLooks_) startupLooks_->colours.remove(id);
    std::optional<Note> stored;
    try {
        stored = NoteRepository(数据库对象).note(id);
    } catch (const platform::Error& error) {
        if (error.number() != platform::errc::noCurrentRecord) throw;
    }
    platform::ListView& list = mainList_;
    list.deselectAll();
    const QScopedValueRollback filling(列表就绪_, false);
    int row = list.indexOf(id);
    if (!stored) {
        if (row != 0) list.remove(row);
        return;
    }
    if (row == 0) {
        // Rows stand in ascending ID order: the first row with a larger ID comes after it.
        int low = 1;
        int high = list.count() + 1;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (list.id(middle).value_or(0) < id) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        row = list.insert(low, QString()).index();
    }
    list.setChecked(row, 窗口已开(id));
    填写行(list, row, id, {stored->content, stored->createTime, stored->changeTime});
    std::vector<Form_Zettara*> windows = 便签窗口();
    std::erase_if(windows, [id](const Form_Zettara* window) { return window->noteId() != id; });
    刷新便签窗口(id, windows);
}

bool Class_主窗体::窗口已开(std::int64_t id) {
    if (waiting_.contains(id)) return true;
    const std::vector<Form_Zettara*> open = 便签窗口();
    return std::any_of(open.begin(), open.end(),
                       [id](const Form_Zettara* window) { return window->noteId() == id; });
}

void Class_主窗体::便签已保存(std::int64_t id, bool newNote, bool tell) {
    if (newNote) 新便签待显示_.push_back(id);
    保存后刷新(id, tell);
}

void Class_主窗体::保存后刷新(std::optional<std::int64_t> id, bool tell) {
    try {
        // After a failed reload more than one note may be behind.
        if (id && !retry_.armed()) {
            便签已变(*id);
        } else {
            更新列表();
            刷新便签();
        }
        显示新便签();
    } catch (const platform::Error& error) {
        if (tell) {
            const QString reason =
                error.busy() ? QCoreApplication::translate("NoteListController", "便签文件被占用")
                             : QCoreApplication::translate("NoteListController", "错误 %1：%2")
                                   .arg(QString::number(error.number()), error.message());
            platform::MsgBox(
                QCoreApplication::translate(
                    "NoteListController", "便签已保存，但列表暂时无法刷新（%1）。稍后会自动刷新。")
                    .arg(reason),
                platform::mb::Exclamation);
        }
        retry_.arm();
        return;
    }
    retry_.disarm();
    if (列表已刷新) 列表已刷新();
}

void Class_主窗体::显示新便签() {
    while (!新便签待显示_.empty()) {
        // The check mark is the window switch.
        if (const int row = mainList_.indexOf(新便签待显示_.front());
            row && !mainList_.checked(row)) {
            try {
                mainList_.setChecked(row, true);
            } catch (const platform::Error& error) {
                if (error.busy()) throw;       // opens on the next try
                platform::reportError(error);  // saved all the same
            }
        }
        新便签待显示_.erase(新便签待显示_.begin());
    }
}

void Class_主窗体::读取启动外观() {
    StartupLooks looks;
    // Without the bulk reads every note reads its own rows, as a note opened later does.
    platform::guarded([&] { looks.colours = NoteRepository(数据库对象).shownColours(); });
    platform::guarded([&] { looks.places = NotePlacements(数据库对象).findAll(); });
    startupLooks_ = std::move(looks);
}

int Class_主窗体::初始化便签显示(platform::ListView& list) {
    读取启动外观();
    // One unreadable note (a NULL or foreign colour) must not keep the later ones closed.
    int failed = 0;
    const std::int32_t count = list.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (list.checked(i) && !platform::guarded([&] { 打开便签窗口(list, i); })) ++failed;
    }
    startupLooks_.reset();
    return failed;
}

void Class_主窗体::分批显示便签(std::function<void(int failed)> done) {
    读取启动外观();
    batchOrder_.clear();
    waiting_.clear();
    const std::int32_t count = mainList_.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (!mainList_.checked(i)) continue;
        if (const std::optional<std::int64_t> id = mainList_.id(i)) {
            batchOrder_.push_back(*id);
            waiting_.insert(*id);
        }
    }
    batchNext_ = 0;
    batchFailed_ = 0;
    batchDone_ = std::move(done);
    batchTimer_.start();
}

void Class_主窗体::显示下一批() {
    QElapsedTimer clock;
    clock.start();
    while (batchNext_ < batchOrder_.size() && clock.elapsed() < kBatchMs) {
        const std::int64_t id = batchOrder_[batchNext_++];
        // Gone from waiting: unticked (or opened by a tick) before its turn.
        if (!waiting_.remove(id)) continue;
        // Looked up now: the list may have been reloaded since the batches began.
        const std::int32_t row = mainList_.indexOf(id);
        if (row == 0 || !mainList_.checked(row)) continue;
        if (!platform::guarded([&] { 打开便签窗口(mainList_, row); })) ++batchFailed_;
    }
    if (batchNext_ >= batchOrder_.size()) 结束分批();
}

void Class_主窗体::结束分批() {
    batchTimer_.stop();
    batchOrder_.clear();
    waiting_.clear();
    startupLooks_.reset();
    if (const auto done = std::exchange(batchDone_, nullptr)) done(batchFailed_);
}

void Class_主窗体::记住显示(std::int64_t id, bool shown) {
    shownToSave_.insert(id, shown);
    saveTimer_.start();
}

void Class_主窗体::保存显示() {
    if (shownToSave_.isEmpty()) return;
    try {
        NoteWindowStates(数据库对象).saveShown(shownToSave_);
        shownToSave_.clear();
    } catch (const platform::Error& error) {
        // A convenience: kept for the next change or the exit, the window itself is as chosen.
        qCWarning(lcShown) << "open windows not remembered this time:" << error.number()
                           << error.message();
    }
}

void Class_主窗体::便签显示(const platform::ListItem& item) {
    if (!列表就绪()) return;  // the change comes from a fill
    const bool main = item.listView() == &mainList_;
    if (item.checked()) {
        try {
            打开便签窗口(*item.listView(), item.index());
        } catch (const platform::Error&) {
            // The mark would claim a window the note does not have; taken off as a fill would.
            const QScopedValueRollback quiet(列表就绪_, false);
            item.setChecked(false);
            throw;
        }
        if (main) 记住显示(*item.id(), true);
        return;
    }
    const std::optional<std::int64_t> id = item.id();
    if (!id) return;
    if (main) {
        waiting_.remove(*id);
        记住显示(*id, false);
    }
    for (Form_Zettara* window : 便签窗口()) {
        if (window->noteId() == *id) window->close();
    }
}

std::vector<Form_Zettara*> Class_主窗体::便签窗口() {
    std::erase_if(windows_, [](const QPointer<Form_Zettara>& w) { return !w || w->isClosing(); });
    std::vector<Form_Zettara*> open;
    open.reserve(windows_.size());
    for (const QPointer<Form_Zettara>& window : windows_) open.push_back(window.data());
    return open;
}

void Class_主窗体::关闭全部便签() {
    batchDone_ = nullptr;
    结束分批();
    保存显示();
    for (Form_Zettara* window : 便签窗口()) window->close();
}

void Class_主窗体::刷新便签() {
    // The windows by note, then one look-up per note: the same updates, in the same order, as
    // comparing every list row with every window.
    std::map<std::int32_t, std::vector<Form_Zettara*>> byRow;
    for (Form_Zettara* window : 便签窗口()) {
        if (const std::int32_t row = mainList_.indexOf(window->noteId()))
            byRow[row].push_back(window);
    }
    for (const auto& [row, windows] : byRow) 刷新便签窗口(windows.front()->noteId(), windows);
}

void Class_主窗体::刷新便签窗口(std::int64_t id, const std::vector<Form_Zettara*>& windows) {
    using platform::guarded;
    const std::int32_t row = mainList_.indexOf(id);
    if (row == 0) return;
    for (Form_Zettara* window : windows) {
        // A note gone from the store keeps its colours and takes the listed text.
        std::optional<Note> note;
        guarded([&] { note = NoteRepository(数据库对象).note(id); });
        window->setText(mainList_.subItem(row, 2));
        if (!note) continue;
        guarded([&] { window->setBackColor(colourOf(note->backColor)); });
        guarded([&] { window->setTextColor(colourOf(note->fontColor)); });
    }
}

int Class_主窗体::同步便签窗口() {
    // The notes still waiting were those of the file that has just been replaced.
    结束分批();
    QSet<std::int64_t> ticked;
    const std::int32_t count = mainList_.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (mainList_.checked(i)) {
            if (const std::optional<std::int64_t> id = mainList_.id(i)) ticked.insert(*id);
        }
    }
    for (Form_Zettara* window : 便签窗口()) {
        if (!ticked.contains(window->noteId())) window->close();
    }
    刷新便签();
    QSet<std::int64_t> open;
    for (Form_Zettara* window : 便签窗口()) open.insert(window->noteId());
    int failed = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        if (mainList_.checked(i) && !open.contains(mainList_.id(i).value_or(0)) &&
            !platform::guarded([&] { 打开便签窗口(mainList_, i); }))
            ++failed;
    }
    return failed;
}

void Class_主窗体::打开便签窗口(platform::ListView& list, std::int32_t index) {
    // Nothing is guarded: a failing step ends the opening and the window is never shown.
    auto window = std::make_unique<Form_Zettara>(menuHost_);
    const platform::ListItem item = list.item(index);
    window->setText(item.subItem(2));
    const std::optional<std::int64_t> listed = item.id();
    if (!listed)
        throw platform::Error(platform::Trouble::Internal, platform::errc::itemNotFound,
                              QStringLiteral("The row has no note."));
    const std::int64_t id = *listed;
    std::pair<StoredColour, StoredColour> colours;
    if (startupLooks_ && startupLooks_->colours.contains(id)) {
        colours = startupLooks_->colours.value(id);
    } else {
        const Note stored = NoteRepository(数据库对象).note(id);
        colours = {stored.backColor, stored.fontColor};
    }
    window->setBackColor(colourOf(colours.first));
    window->setTextColor(colourOf(colours.second));
    window->setNoteId(id);
    NotePlacementKeeper::attach(
        *window, 数据库对象,
        startupLooks_ && startupLooks_->places ? &*startupLooks_->places : nullptr);
    NoteWindowArranger::attach(*window, 数据库对象);
    就地编辑(*window);
    // Deletes itself when closed; the pointer then turns null.
    windows_.emplace_back(window.get());
    window.release()->show();
}

void Class_主窗体::就地编辑(Form_Zettara& window) {
    window.editRequested = [this, &window] {
        return window.noteId() == 0 || !前置便签编辑器 || !前置便签编辑器(window.noteId());
    };
    InPlaceSaver::attach(
        window, 数据库对象,
        [this](Form_Zettara& saved, std::int64_t id, bool added) { 就地保存后(saved, id, added); });
}

void Class_主窗体::就地保存后(Form_Zettara& window, std::int64_t id, bool added) {
    if (added && window.noteId() == id) {
        // The window's own note, just added: from now on it is kept as any note's window.
        NotePlacementKeeper::attach(window, 数据库对象);
        // Made where the user asked for it: kept as a place the user chose.
        window.placementEnded(false);
        NoteWindowArranger::attach(window, 数据库对象);
        记住显示(id, true);
        便签已保存(id, false);
        return;
    }
    便签已保存(id, added);
    // A note deleted while it was edited: its text lives on in the note just added.
    if (!added && window.noteId() == id && mainList_.indexOf(id) == 0) window.close();
}

void Class_主窗体::就地新建便签(const QPoint& near) {
    auto* window = new Form_Zettara(menuHost_);
    window->setBackColor(platform::toQColor(platform::kNoteBackColour));
    window->setTextColor(platform::toQColor(platform::kNoteTextColour));
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    window->setGeometry(screenfit::fit(screenfit::bounded(near, window->size()), areas));
    就地编辑(*window);
    windows_.emplace_back(window);
    window->show();
    window->raise();
    window->beginEditing();
}

void Class_主窗体::结束就地编辑(std::optional<std::int64_t> id) {
    for (Form_Zettara* window : 便签窗口()) {
        if (!id || window->noteId() == *id) window->endEditing();
    }
}
