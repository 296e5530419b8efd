#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "editor/add_note_setup.h"
#include "editor_fixture.h"
#include "platform/color_picker.h"
#include "platform/colour.h"

namespace editortest {
namespace {

namespace twips = platform::twips;

// Geometry of a widget in twips (left, top, width, height) at 96 dpi.
QRect inTwips(const QWidget* widget) {
    const QRect r = widget->geometry();
    return QRect(r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15);
}

// Resizes the client area of a shown editor, in twips.
void resizeClient(Form_添加便签* editor, double width, double height) {
    editor->resize(twips::toPixels(width, height));
}

TEST(AddNoteSetup, FillsTenTransparencyEntriesAndSelectsTwenty) {
    Class_添加便签 setup;
    EXPECT_EQ(setup.透明度()[0], "不透明");
    EXPECT_EQ(setup.透明度()[9], "90%透明");
    EXPECT_TRUE(setup.透明度()[10].isEmpty());

    QComboBox combo;
    setup.初始化界面(combo);
    ASSERT_EQ(combo.count(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(combo.itemText(i), setup.透明度()[i]);
    EXPECT_EQ(combo.itemText(1), "10%透明");
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_EQ(combo.currentText(), "20%透明");
}

TEST_F(EditorTest, OpensWithItsCaptionsAndInitialState) {
    Form_添加便签* editor = openEditor();
    EXPECT_EQ(editor->windowTitle(), "添加Zettara");
    EXPECT_TRUE(editor->isWindow());
    EXPECT_TRUE(editor->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(editor->font().family(), "Tahoma");
    EXPECT_DOUBLE_EQ(editor->font().pointSizeF(), 8.25);
    EXPECT_EQ(editor->size(), QSize(523, 449));
    EXPECT_EQ(editor->便签ID, 0);

    EXPECT_TRUE(editor->FlatEdit_内容->toPlainText().isEmpty());
    EXPECT_EQ(editor->内容背景颜色(), 12648447);
    EXPECT_EQ(editor->内容字体颜色(), platform::kButtonTextColour);
    EXPECT_EQ(editor->FlatEdit_内容->palette().color(QPalette::Base), QColor(255, 255, 192));
    EXPECT_EQ(editor->FlatEdit_内容->palette().color(QPalette::Text),
              platform::toQColor(platform::kButtonTextColour));
    EXPECT_EQ(editor->ColorPicker_字体颜色->color(), 0);
    EXPECT_EQ(editor->ColorPicker_背景颜色->color(), 12648447);
    EXPECT_EQ(editor->ColorPicker_字体颜色->text(), "字体颜色");
    EXPECT_EQ(editor->ColorPicker_背景颜色->text(), "背景颜色");
    EXPECT_EQ(editor->PushButton_保存并关闭->text(), "保存并关闭");
    EXPECT_EQ(editor->PushButton_保存且继续添加->text(), "保存继续添加");
    EXPECT_FALSE(editor->PushButton_保存并关闭->icon().isNull());
    EXPECT_FALSE(editor->PushButton_保存且继续添加->icon().isNull());
    EXPECT_EQ(editor->CheckBox_桌面显示->text(), "标签桌面显示");
    EXPECT_TRUE(editor->CheckBox_桌面显示->isChecked());
    EXPECT_EQ(editor->CheckBox_窗口置顶->text(), "便签总在最前");
    EXPECT_FALSE(editor->CheckBox_窗口置顶->isChecked());
    EXPECT_EQ(editor->CheckBox_高级选项->text(), "高级选项");
    EXPECT_FALSE(editor->CheckBox_高级选项->isChecked());
    EXPECT_TRUE(editor->CheckBox_高级选项->isHidden());
    EXPECT_EQ(editor->GroupBox_高级选项->title(), "高级选项");
    EXPECT_TRUE(editor->GroupBox_高级选项->isHidden());
    EXPECT_EQ(editor->Label1->text(), "便签透明度：");
    EXPECT_EQ(editor->ComboBox_便签透明度->count(), 10);
    EXPECT_EQ(editor->ComboBox_便签透明度->currentIndex(), 2);

    // The fixed controls stay where they were designed.
    EXPECT_EQ(inTwips(editor->PushButton_保存并关闭), QRect(90, 60, 1485, 345));
    EXPECT_EQ(inTwips(editor->PushButton_保存且继续添加), QRect(1620, 60, 1485, 345));
    EXPECT_EQ(inTwips(editor->ColorPicker_字体颜色), QRect(3300, 60, 1425, 345));
    EXPECT_EQ(inTwips(editor->ColorPicker_背景颜色), QRect(4770, 60, 1425, 345));
    EXPECT_EQ(inTwips(editor->ComboBox_便签透明度), QRect(4350, 210, 1755, 315));
}

TEST_F(EditorTest, TabOrderStartsAtTheTextBox) {
    Form_添加便签* editor = openEditor();
    editor->show();
    EXPECT_EQ(editor->focusWidget(), editor->FlatEdit_内容);
    EXPECT_TRUE(editor->FlatEdit_内容->tabChangesFocus());

    const QWidget* expected[] = {editor->FlatEdit_内容,         editor->GroupBox_高级选项,
                                 editor->PushButton_保存并关闭, editor->CheckBox_桌面显示,
                                 editor->CheckBox_窗口置顶,     editor->PushButton_保存且继续添加,
                                 editor->ColorPicker_字体颜色,  editor->ColorPicker_背景颜色,
                                 editor->CheckBox_高级选项,     editor->Label1,
                                 editor->ComboBox_便签透明度};
    const QWidget* current = editor->FlatEdit_内容;
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        // Skip the internal children of composite widgets (the text box's viewport and
        // scroll bars, the combo's popup parts).
        current = current->nextInFocusChain();
        while (std::find(std::begin(expected), std::end(expected), current) == std::end(expected))
            current = current->nextInFocusChain();
        EXPECT_EQ(current, expected[i]) << "position " << i;
    }
}

TEST_F(EditorTest, LayoutFollowsTheClientSize) {
    Form_添加便签* editor = openEditor();
    editor->show();
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 7770, 6240));
    EXPECT_EQ(inTwips(editor->CheckBox_高级选项).left(), 7845 - 975 - 45);

    resizeClient(editor, 9000, 7500);
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 9000 - 75, 7500 - 450 - 45));
    EXPECT_EQ(inTwips(editor->CheckBox_高级选项).left(), 9000 - 975 - 45);
    EXPECT_EQ(inTwips(editor->GroupBox_高级选项).width(), 9000 - 75 + 15);

    resizeClient(editor, 3000, 1500);
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 3000 - 75, 1500 - 450 - 45));
    // Buttons and pickers never move.
    EXPECT_EQ(inTwips(editor->ColorPicker_背景颜色), QRect(4770, 60, 1425, 345));
}

TEST_F(EditorTest, AdvancedOptionsShareTheHeightWithTheTextBox) {
    Form_添加便签* editor = openEditor();
    editor->show();
    editor->CheckBox_高级选项->click();  // ticks it
    EXPECT_FALSE(editor->GroupBox_高级选项->isHidden());
    const int contentHeight = 6735 - 450 - 90 - 585;
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 7770, contentHeight));
    EXPECT_EQ(inTwips(editor->GroupBox_高级选项), QRect(30, 450 + contentHeight + 90, 7785, 585));

    editor->CheckBox_高级选项->click();  // clears it
    EXPECT_TRUE(editor->GroupBox_高级选项->isHidden());
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 7770, 6240));
    EXPECT_EQ(editor->size(), QSize(523, 449));  // the window itself keeps its size
}

TEST_F(EditorTest, TinySizesNeverGoNegative) {
    Form_添加便签* editor = openEditor();
    editor->show();
    for (bool advanced : {false, true}) {
        if (advanced) editor->CheckBox_高级选项->click();
        for (const QSize pixels : {QSize(1, 1), QSize(4, 20), QSize(40, 30), QSize(200, 60)}) {
            editor->resize(pixels);
            SCOPED_TRACE(testing::Message() << pixels.width() << "x" << pixels.height());
            EXPECT_GE(editor->FlatEdit_内容->width(), 0);
            EXPECT_GE(editor->FlatEdit_内容->height(), 0);
            EXPECT_GE(editor->GroupBox_高级选项->width(), 0);
            EXPECT_GE(editor->GroupBox_高级选项->height(), 0);
        }
    }
    editor->resize(twips::toPixels(60, 300));
    EXPECT_EQ(editor->FlatEdit_内容->size(), QSize(0, 0));
}

TEST_F(EditorTest, MinimisedLeavesTheLayoutAlone) {
    Form_添加便签* editor = openEditor();
    editor->show();
    const QRect before = editor->FlatEdit_内容->geometry();
    editor->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(editor->isMinimized());
    editor->resize(200, 100);
    EXPECT_EQ(editor->FlatEdit_内容->geometry(), before);

    editor->setWindowState(Qt::WindowNoState);
    resizeClient(editor, 6000, 4995);
    EXPECT_EQ(inTwips(editor->FlatEdit_内容), QRect(30, 450, 6000 - 75, 4995 - 450 - 45));
}

TEST_F(EditorTest, PickedColoursRecolourTheTextBoxAndAreStored) {
    const auto previous = platform::ColorPicker::setChooser(
        [](const QColor&, QWidget*, const QString&) { return QColor(0x10, 0x20, 0x30); });
    Form_添加便签* editor = openEditor();
    editor->ColorPicker_背景颜色->click();
    platform::ColorPicker::setChooser(
        [](const QColor&, QWidget*, const QString&) { return QColor(0xAA, 0xBB, 0xCC); });
    editor->ColorPicker_字体颜色->click();
    platform::ColorPicker::setChooser(previous);

    EXPECT_EQ(editor->内容背景颜色(), 0x00302010);
    EXPECT_EQ(editor->FlatEdit_内容->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(editor->内容字体颜色(), 0x00CCBBAA);
    EXPECT_EQ(editor->FlatEdit_内容->palette().color(QPalette::Text), QColor(0xAA, 0xBB, 0xCC));

    // Stored colours come from the pickers, not from the text box.
    editor->设置内容背景颜色(0);
    editor->FlatEdit_内容->setPlainText(QStringLiteral("x"));
    ASSERT_TRUE(editor->保存便签());
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips"), QStringList("3153936"));
    EXPECT_EQ(db.column("SELECT FontColor FROM Tips"), QStringList("13417386"));
}

TEST_F(EditorTest, SettingAPickerDoesNotRecolourTheTextBox) {
    Form_添加便签* editor = openEditor();
    editor->ColorPicker_背景颜色->setColor(0x000000FF);
    EXPECT_EQ(editor->内容背景颜色(), 12648447);
}

}  // namespace
}  // namespace editortest
