#include "controller/note_list_controller.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLoggingCategory>
#include <QScopedValueRollback>
#include <QSet>
#include <memory>

#include "controller/note_placement_keeper.h"
#include "controller/note_window_arranger.h"
#include "notewindow/note_window.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/ui/guard.h"
#include "store/database_module.h"
#include "store/note_placements.h"
#include "store/note_window_states.h"

namespace {

Q_LOGGING_CATEGORY(lcShown, "zettara.shown")

// How long one batch of start-up windows may take: short enough for the main window to answer
// a key or a menu between two batches without the user noticing.
constexpr qint64 kBatchMs = 25;

}  // namespace

Class_主窗体::Class_主窗体(platform::ListView& mainList, NoteMenuHost& menuHost,
                           数据库操作模块& store)
    : mainList_(mainList), menuHost_(menuHost), 数据库对象(store) {
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
    列标题 = {QStringLiteral("显示"), QStringLiteral("编号"), QStringLiteral("内容"),
              QStringLiteral("创建时间"), QStringLiteral("修改时间")};
    列宽 = {540, 1, 4000, 2000, 2000};
}

int Class_主窗体::初始化界面(platform::ListView& list) {
    for (size_t i = 0; i < 列标题.size(); ++i) list.addColumn(列标题[i], 列宽[i]);
    return 刷新数据(list, 获取数据());
}

NoteRepository::Listing Class_主窗体::获取数据() {
    return NoteRepository(数据库对象).all();
}

int Class_主窗体::刷新数据(platform::ListView& list, const NoteRepository::Listing& notes,
                           Ticks ticks) {
    using platform::guarded;
    // A note's window stands for its choice; one still waiting for its batch counts as open.
    QSet<QString> open = waiting_;
    QHash<std::int64_t, bool> remembered;
    if (ticks == Ticks::FromWindows) {
        for (Form_Zettara* window : 便签窗口()) open.insert(window->idTag());
    } else {
        // Without them every note follows Visual.
        guarded([&] { remembered = NoteWindowStates(数据库对象).findShown(); });
    }
    // A reload follows a change in the store: the colours read for the batches may be old.
    if (startupLooks_) startupLooks_->colours.clear();
    列表就绪_ = false;
    list.reserve(static_cast<std::int32_t>(notes.notes.size()));
    {
        // The view hears of the new rows once, at the end, not once per row and cell.
        const platform::ListView::AppendBatch batch(list);
        for (const Note& note : notes.notes) {
            const int index = list.add(QString()).index();
            const QString id = QString::number(note.id);
            list.setSubItem(index, 1, id);
            if (ticks == Ticks::FromWindows) {
                if (open.contains(id)) list.setChecked(index, true);
            } else if (const auto choice = remembered.constFind(note.id);
                       choice != remembered.constEnd()) {
                if (*choice) list.setChecked(index, true);
            } else if (note.visual) {
                list.setChecked(index, true);
            }
            list.setSubItem(index, 2, note.content);
            list.setSubItem(index, 3, note.createTime);
            list.setSubItem(index, 4, note.changeTime);
        }
    }
    列表就绪_ = true;
    return notes.skipped;
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
        batchOrder_.push_back(mainList_.subItem(i, 1));
        waiting_.insert(batchOrder_.back());
    }
    batchNext_ = 0;
    batchFailed_ = 0;
    batchDone_ = std::move(done);
    batchTimer_.start();
}

void Class_主窗体::显示下一批() {
    QElapsedTimer clock;
    clock.start();
    // The list may have been reloaded or sorted since the last batch.
    QHash<QString, std::int32_t> rows;
    const std::int32_t count = mainList_.count();
    rows.reserve(count);
    for (std::int32_t i = 1; i <= count; ++i) rows.insert(mainList_.subItem(i, 1), i);
    while (batchNext_ < batchOrder_.size() && clock.elapsed() < kBatchMs) {
        const QString& id = batchOrder_[batchNext_++];
        // Gone from waiting: unticked (or opened by a tick) before its turn.
        if (!waiting_.remove(id)) continue;
        const std::int32_t row = rows.value(id);
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

void Class_主窗体::记住显示(const QString& id, bool shown) {
    if (const std::optional<std::int64_t> note = platform::parseIdentifier(id)) {
        shownToSave_.insert(*note, shown);
        saveTimer_.start();
    }
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
        if (main) 记住显示(item.subItem(1), true);
        return;
    }
    QString id;
    if (!platform::guarded([&] { id = item.subItem(1); })) return;
    if (main) {
        waiting_.remove(id);
        记住显示(id, false);
    }
    for (Form_Zettara* window : 便签窗口()) {
        if (window->idTag() == id) window->close();
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
    using platform::guarded;
    // One pass over the windows, then one lookup per list item: the same updates, in the same
    // order, as comparing every item with every window.
    QHash<QString, std::vector<Form_Zettara*>> byTag;
    for (Form_Zettara* window : 便签窗口()) byTag[window->idTag()].push_back(window);
    if (byTag.isEmpty()) return;

    const std::int32_t count = mainList_.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        const auto found = byTag.constFind(mainList_.subItem(i, 1));
        if (found == byTag.constEnd()) continue;
        const std::optional<std::int64_t> id = platform::parseIdentifier(found.key());
        if (!id) continue;
        for (Form_Zettara* window : *found) {
            // A note gone from the store keeps its colours and takes the listed text.
            std::optional<Note> note;
            guarded([&] { note = NoteRepository(数据库对象).note(*id); });
            window->setText(mainList_.subItem(i, 2));
            if (!note) continue;
            guarded(
                [&] { window->setBackColor(platform::toQColor(colourValue(note->backColor))); });
            guarded(
                [&] { window->setTextColor(platform::toQColor(colourValue(note->fontColor))); });
        }
    }
}

int Class_主窗体::同步便签窗口() {
    // The notes still waiting were those of the file that has just been replaced.
    结束分批();
    QSet<QString> ticked;
    const std::int32_t count = mainList_.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (mainList_.checked(i)) ticked.insert(mainList_.subItem(i, 1));
    }
    for (Form_Zettara* window : 便签窗口()) {
        if (!ticked.contains(window->idTag())) window->close();
    }
    刷新便签();
    QSet<QString> open;
    for (Form_Zettara* window : 便签窗口()) open.insert(window->idTag());
    int failed = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        if (mainList_.checked(i) && !open.contains(mainList_.subItem(i, 1)) &&
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
    const QString id = item.subItem(1);
    const std::int64_t note = platform::toIdentifier(id);
    std::pair<StoredColour, StoredColour> colours;
    if (startupLooks_ && startupLooks_->colours.contains(note)) {
        colours = startupLooks_->colours.value(note);
    } else {
        const Note stored = NoteRepository(数据库对象).note(note);
        colours = {stored.backColor, stored.fontColor};
    }
    window->setBackColor(platform::toQColor(colourValue(colours.first)));
    window->setTextColor(platform::toQColor(colourValue(colours.second)));
    window->setIdTag(id);
    NotePlacementKeeper::attach(
        *window, 数据库对象,
        startupLooks_ && startupLooks_->places ? &*startupLooks_->places : nullptr);
    NoteWindowArranger::attach(*window, 数据库对象);
    // Deletes itself when closed; the pointer then turns null.
    windows_.emplace_back(window.get());
    window.release()->show();
}
