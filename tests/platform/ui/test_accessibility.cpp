#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>

#include "platform/ui/accessible_text.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/list_view.h"

namespace {

QAccessibleInterface* readerOf(QWidget& widget) {
    return QAccessible::queryAccessibleInterface(&widget);
}

TEST(AccessibleText, ColoursByTheNearestNameAndNotesOnOneShortLine) {
    EXPECT_EQ(platform::colourName(QColor(255, 255, 192)), "浅黄色（#FFFFC0）");
    EXPECT_EQ(platform::colourName(QColor(20, 10, 10)), "黑色（#140A0A）");
    EXPECT_EQ(platform::colourName(QColor(250, 190, 200)), "粉红色（#FABEC8）");

    EXPECT_EQ(platform::spokenName("  买菜\r\n  牛奶 "), "买菜 牛奶");
    // Cut before a character it would split, never inside it.
    const QString longText = QString(79, u'字') + QString::fromUcs4(U"😀") + "tail";
    const QString name = platform::spokenName(longText);
    EXPECT_EQ(name, QString(79, u'字') + QChar(0x2026));
}

TEST(AccessibleRows, ACheckBoxIsReadAsItsNoteAndWhetherItIsShown) {
    platform::ListView list;
    list.addColumn("显示", 540);
    list.addColumn("编号", 1);
    list.addColumn("内容", 4000);
    list.setCheckSpeech(2, "显示在桌面上", "未显示在桌面上");
    list.add(QString()).setSubItem(2, "第一行\n第二行");
    list.setChecked(1, true);
    list.doItemsLayout();  // the reader asks the view for its laid-out rows

    QAccessibleTableInterface* table = readerOf(list)->tableInterface();
    ASSERT_NE(table, nullptr);
    QAccessibleInterface* box = table->cellAt(0, 0);
    EXPECT_EQ(box->text(QAccessible::Name), "第一行 第二行");
    EXPECT_EQ(box->text(QAccessible::Description), "显示在桌面上");
    EXPECT_TRUE(box->state().checked);
    EXPECT_EQ(table->cellAt(0, 2)->text(QAccessible::Description), "显示在桌面上");

    list.setChecked(1, false);
    list.setSubItem(1, 2, "改过");
    EXPECT_EQ(box->text(QAccessible::Name), "改过");
    EXPECT_EQ(box->text(QAccessible::Description), "未显示在桌面上");
    EXPECT_FALSE(box->state().checked);
}

TEST(AccessibleColourPicker, NamedByItsCaptionDescribedByItsColour) {
    platform::ColorPicker picker("背景颜色(&B)");
    picker.setColor(0xC0FFFF);  // 0x00BBGGRR
    QAccessibleInterface* reader = readerOf(picker);
    EXPECT_EQ(reader->text(QAccessible::Name), "背景颜色(B)");
    EXPECT_EQ(reader->text(QAccessible::Description), "当前颜色：浅黄色（#FFFFC0）");
    EXPECT_EQ(reader->role(), QAccessible::Button);
    picker.setColor(0x0000FF);
    EXPECT_EQ(reader->text(QAccessible::Description), "当前颜色：红色（#FF0000）");
    EXPECT_EQ(picker.focusPolicy(), Qt::StrongFocus);  // reached by Tab, pressed with Space
}

}  // namespace
