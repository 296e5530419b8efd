#include "controller/note_list_controller.h"

#include <QApplication>
#include <QHash>
#include <memory>
#include <vector>

#include "controller/note_placement_keeper.h"
#include "notewindow/note_window.h"
#include "platform/colour.h"
#include "platform/convert.h"
#include "platform/guard.h"
#include "store/shared_objects.h"
#include "store/statements.h"

namespace {

// The open desktop note windows, in the order the application keeps its top-level windows.
// Windows that have accepted a close are gone as far as the program is concerned.
std::vector<Form_Zettara*> openNoteWindows() {
    std::vector<Form_Zettara*> windows;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* widget : all) {
        auto* note = dynamic_cast<Form_Zettara*>(widget);
        if (note && !note->isClosing()) windows.push_back(note);
    }
    return windows;
}

QColor colourField(const platform::Recordset& rs, const QString& name) {
    return platform::toQColor(platform::toInt32(rs.field(name)));
}

}  // namespace

Class_主窗体::Class_主窗体(platform::ListView& mainList, NoteMenuHost& menuHost)
    : mainList_(mainList), menuHost_(menuHost) {
    初始化列();
}

void Class_主窗体::初始化列() {
    列标题 = {QStringLiteral("显示"), QStringLiteral("编号"), QStringLiteral("内容"),
              QStringLiteral("创建时间"), QStringLiteral("修改时间")};
    列宽 = {540, 1, 4000, 2000, 2000};
}

void Class_主窗体::初始化界面(platform::ListView& list) {
    for (size_t i = 0; i < 列标题.size(); ++i) list.addColumn(列标题[i], 列宽[i]);
    platform::Recordset rs = 获取数据();
    刷新数据(list, rs);
}

platform::Recordset Class_主窗体::获取数据() {
    return 数据库对象().数据库_查找_语句(statements::selectAll());
}

void Class_主窗体::刷新数据(platform::ListView& list, platform::Recordset& rs) {
    using platform::guarded;
    guarded([&] { 列表就绪_ = 0; });
    std::int32_t n = 0;
    guarded([&] { rs.moveLast(); });
    guarded([&] { n = rs.recordCount(); });
    guarded([&] { rs.moveFirst(); });
    guarded([&] { list.reserve(n); });

    const QString visual = QStringLiteral("Visual");
    const std::array<QString, 4> textFields = {QStringLiteral("ID"), QStringLiteral("content"),
                                               QStringLiteral("CreateTime"),
                                               QStringLiteral("ChangeTime")};
    {
        // The view hears of the new rows once, at the end, not once per row and cell.
        const platform::ListView::AppendBatch batch(list);
        const std::int32_t last = n - 1;
        for (std::int32_t i = 0; i <= last; ++i) {
            int index = 0;
            guarded([&] { index = list.add(QString()).index(); });
            guarded([&] {
                if (platform::toBool(rs.field(visual))) list.setChecked(index, true);
            });
            for (int k = 1; k <= 4; ++k) {
                guarded([&] {
                    list.setSubItem(index, k, platform::toText(rs.field(textFields[k - 1])));
                });
            }
            guarded([&] { rs.moveNext(); });
        }
    }
    guarded([&] { 列表就绪_ = -1; });
}

int Class_主窗体::初始化便签显示(platform::ListView& list) {
    // One unreadable note (a NULL or foreign colour) must not keep the later ones closed.
    int failed = 0;
    const std::int32_t count = list.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        if (list.checked(i) && !platform::guarded([&] { 打开便签窗口(list, i); })) ++failed;
    }
    return failed;
}

void Class_主窗体::便签显示(const platform::ListItem& item) {
    if (!列表就绪()) return;  // the change comes from a fill
    if (item.checked()) {
        打开便签窗口(*item.listView(), item.index());
        return;
    }
    QString id;
    if (!platform::guarded([&] { id = item.subItem(1); })) return;
    for (Form_Zettara* window : openNoteWindows()) {
        platform::guarded([&] {
            if (window->idTag() == id) window->close();
        });
    }
}

void Class_主窗体::刷新便签() {
    using platform::guarded;
    // One pass over the windows, then one lookup per list item: the same updates, in the same
    // order, as comparing every item with every window.
    QHash<QString, std::vector<Form_Zettara*>> byTag;
    for (Form_Zettara* window : openNoteWindows()) byTag[window->idTag()].push_back(window);
    if (byTag.isEmpty()) return;

    std::int32_t count = 0;
    guarded([&] { count = mainList_.count(); });
    for (std::int32_t i = 1; i <= count; ++i) {
        QString id;
        if (!guarded([&] { id = mainList_.subItem(i, 1); })) continue;
        const auto found = byTag.constFind(id);
        if (found == byTag.constEnd()) continue;
        for (Form_Zettara* window : *found) {
            platform::Recordset rs;
            guarded([&] { rs = 数据库对象().数据库_查找_语句(statements::selectOne(id)); });
            guarded([&] { window->setText(mainList_.subItem(i, 2)); });
            guarded([&] { window->setBackColor(colourField(rs, QStringLiteral("BackColor"))); });
            guarded([&] { window->setTextColor(colourField(rs, QStringLiteral("FontColor"))); });
        }
    }
}

void Class_主窗体::打开便签窗口(platform::ListView& list, std::int32_t index) {
    // Nothing is guarded: a failing step ends the opening and the window is never shown.
    auto window = std::make_unique<Form_Zettara>(menuHost_);
    const platform::ListItem item = list.item(index);
    window->setText(item.subItem(2));
    const QString id = item.subItem(1);
    const platform::Recordset rs = 数据库对象().数据库_查找_语句(statements::selectOne(id));
    window->setBackColor(colourField(rs, QStringLiteral("BackColor")));
    window->setTextColor(colourField(rs, QStringLiteral("FontColor")));
    window->setIdTag(id);
    NotePlacementKeeper::attach(*window, 数据库对象());
    // From here on the application's window collection holds it.
    window.release()->show();
}
