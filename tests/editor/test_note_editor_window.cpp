#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "editor/add_note_setup.h"
#include "editor_fixture.h"
#include "platform/core/colour.h"
#include "platform/ui/color_picker.h"
#include "seams.h"

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
    const Controls c{editor};
    EXPECT_EQ(editor->windowTitle(), "添加Zettara");
    EXPECT_TRUE(editor->isWindow());
    EXPECT_TRUE(editor->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(editor->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(editor->font().family(), "Tahoma");
    EXPECT_DOUBLE_EQ(editor->font().pointSizeF(), 8.25);
    EXPECT_EQ(editor->size(), QSize(523, 449));
    EXPECT_EQ(editor->便签ID(), 0);

    EXPECT_TRUE(c.text->toPlainText().isEmpty());
    EXPECT_EQ(editor->内容背景颜色(), 12648447);
    EXPECT_EQ(editor->内容字体颜色(), platform::kButtonTextColour);
    EXPECT_EQ(c.text->palette().color(QPalette::Base), QColor(255, 255, 192));
    EXPECT_EQ(c.text->palette().color(QPalette::Text),
              platform::toQColor(platform::kButtonTextColour));
    EXPECT_EQ(c.textColour->color(), 0);
    EXPECT_EQ(c.backColour->color(), 12648447);
    EXPECT_EQ(c.textColour->text(), "字体颜色");
    EXPECT_EQ(c.backColour->text(), "背景颜色");
    EXPECT_EQ(c.saveAndClose->text(), "保存并关闭");
    EXPECT_EQ(c.saveAndKeepAdding->text(), "保存继续添加");
    EXPECT_FALSE(c.saveAndClose->icon().isNull());
    EXPECT_FALSE(c.saveAndKeepAdding->icon().isNull());
    EXPECT_EQ(c.onDesktop->text(), "标签桌面显示");
    EXPECT_TRUE(c.onDesktop->isChecked());
    EXPECT_EQ(c.onTop->text(), "便签总在最前");
    EXPECT_FALSE(c.onTop->isChecked());
    EXPECT_EQ(c.showAdvanced->text(), "高级选项");
    EXPECT_FALSE(c.showAdvanced->isChecked());
    EXPECT_TRUE(c.showAdvanced->isHidden());
    EXPECT_EQ(c.advanced->title(), "高级选项");
    EXPECT_TRUE(c.advanced->isHidden());
    EXPECT_EQ(c.label1->text(), "便签透明度：");
    EXPECT_EQ(c.transparency->count(), 10);
    EXPECT_EQ(c.transparency->currentIndex(), 2);

    // The fixed controls stay where they were designed.
    EXPECT_EQ(inTwips(c.saveAndClose), QRect(90, 60, 1485, 345));
    EXPECT_EQ(inTwips(c.saveAndKeepAdding), QRect(1620, 60, 1485, 345));
    EXPECT_EQ(inTwips(c.textColour), QRect(3300, 60, 1425, 345));
    EXPECT_EQ(inTwips(c.backColour), QRect(4770, 60, 1425, 345));
    EXPECT_EQ(inTwips(c.transparency), QRect(4350, 210, 1755, 315));
}

TEST_F(EditorTest, TabOrderStartsAtTheTextBox) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    EXPECT_EQ(editor->focusWidget(), c.text);
    EXPECT_TRUE(c.text->tabChangesFocus());

    const QWidget* expected[] = {
        c.text,       c.advanced,   c.saveAndClose, c.onDesktop, c.onTop,       c.saveAndKeepAdding,
        c.textColour, c.backColour, c.showAdvanced, c.label1,    c.transparency};
    const QWidget* current = c.text;
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        // Skip the internal children of composite widgets (the text box's viewport and
        // scroll bars, the combo's popup parts).
        current = current->nextInFocusChain();
        while (std::find(std::begin(expected), std::end(expected), current) == std::end(expected))
            current = current->nextInFocusChain();
        EXPECT_EQ(current, expected[i]) << "position " << i;
    }
}

TEST_F(EditorTest, TheKeyboardReachesEveryControlAndCtrlTabAlwaysLeavesTheText) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    const auto tab = [](Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        return QApplication::focusWidget();
    };
    for (QWidget* next : std::initializer_list<QWidget*>{c.saveAndClose, c.saveAndKeepAdding,
                                                         c.textColour, c.backColour, c.text})
        EXPECT_EQ(tab(), next);

    // A text box that takes Tab as text is still left with Ctrl+Tab, either way.
    c.text->setTabChangesFocus(false);
    EXPECT_EQ(tab(), c.text);
    EXPECT_EQ(c.text->toPlainText(), "\t");
    EXPECT_EQ(tab(Qt::ControlModifier), c.saveAndClose);
    c.text->setFocus();
    EXPECT_EQ(tab(Qt::ControlModifier | Qt::ShiftModifier), c.backColour);
    EXPECT_EQ(c.text->toPlainText(), "\t");
}

TEST_F(EditorTest, LayoutFollowsTheClientSize) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 7770, 6240));
    EXPECT_EQ(inTwips(c.showAdvanced).left(), 7845 - 975 - 45);

    resizeClient(editor, 9000, 7500);
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 9000 - 75, 7500 - 450 - 45));
    EXPECT_EQ(inTwips(c.showAdvanced).left(), 9000 - 975 - 45);
    EXPECT_EQ(inTwips(c.advanced).width(), 9000 - 75 + 15);

    resizeClient(editor, 3000, 1500);
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 3000 - 75, 1500 - 450 - 45));
    // Buttons and pickers never move.
    EXPECT_EQ(inTwips(c.backColour), QRect(4770, 60, 1425, 345));
}

TEST_F(EditorTest, AdvancedOptionsShareTheHeightWithTheTextBox) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    c.showAdvanced->click();  // ticks it
    EXPECT_FALSE(c.advanced->isHidden());
    const int contentHeight = 6735 - 450 - 90 - 585;
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 7770, contentHeight));
    EXPECT_EQ(inTwips(c.advanced), QRect(30, 450 + contentHeight + 90, 7785, 585));

    c.showAdvanced->click();  // clears it
    EXPECT_TRUE(c.advanced->isHidden());
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 7770, 6240));
    EXPECT_EQ(editor->size(), QSize(523, 449));  // the window itself keeps its size
}

TEST_F(EditorTest, TinySizesNeverGoNegative) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    for (bool advanced : {false, true}) {
        if (advanced) c.showAdvanced->click();
        for (const QSize pixels : {QSize(1, 1), QSize(4, 20), QSize(40, 30), QSize(200, 60)}) {
            editor->resize(pixels);
            SCOPED_TRACE(testing::Message() << pixels.width() << "x" << pixels.height());
            EXPECT_GE(c.text->width(), 0);
            EXPECT_GE(c.text->height(), 0);
            EXPECT_GE(c.advanced->width(), 0);
            EXPECT_GE(c.advanced->height(), 0);
        }
    }
    editor->resize(twips::toPixels(60, 300));
    EXPECT_EQ(c.text->size(), QSize(0, 0));
}

TEST_F(EditorTest, MinimisedLeavesTheLayoutAlone) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->show();
    const QRect before = c.text->geometry();
    editor->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(editor->isMinimized());
    editor->resize(200, 100);
    EXPECT_EQ(c.text->geometry(), before);

    editor->setWindowState(Qt::WindowNoState);
    resizeClient(editor, 6000, 4995);
    EXPECT_EQ(inTwips(c.text), QRect(30, 450, 6000 - 75, 4995 - 450 - 45));
}

TEST_F(EditorTest, PickedColoursRecolourTheTextBoxAndAreStored) {
    const auto previous = testsupport::Seams::setChooser(
        [](const QColor&, QWidget*, const QString&) { return QColor(0x10, 0x20, 0x30); });
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    c.backColour->click();
    testsupport::Seams::setChooser(
        [](const QColor&, QWidget*, const QString&) { return QColor(0xAA, 0xBB, 0xCC); });
    c.textColour->click();
    testsupport::Seams::setChooser(previous);

    EXPECT_EQ(editor->内容背景颜色(), 0x00302010);
    EXPECT_EQ(c.text->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(editor->内容字体颜色(), 0x00CCBBAA);
    EXPECT_EQ(c.text->palette().color(QPalette::Text), QColor(0xAA, 0xBB, 0xCC));

    // Stored colours come from the pickers, not from the text box; setting a picker does
    // not recolour the box.
    c.backColour->setColor(0x000000FF);
    EXPECT_EQ(editor->内容背景颜色(), 0x00302010);
    c.text->setPlainText(QStringLiteral("x"));
    ASSERT_TRUE(editor->保存便签());
    EXPECT_EQ(db.column("SELECT BackColor FROM Tips"), QStringList("255"));
    EXPECT_EQ(db.column("SELECT FontColor FROM Tips"), QStringList("13417386"));
}

TEST_F(EditorTest, LoadingANoteColoursTheTextBoxAndThePickersAlike) {
    Form_添加便签* editor = openEditor();
    const Controls c{editor};
    editor->加载便签(7, QStringLiteral("loaded"), 0x00FF0000, 0x000000FF);
    EXPECT_EQ(editor->便签ID(), 7);
    EXPECT_EQ(c.text->toPlainText(), "loaded");
    EXPECT_EQ(editor->内容背景颜色(), 0x00FF0000);
    EXPECT_EQ(c.text->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(c.backColour->color(), 0x00FF0000);
    EXPECT_EQ(editor->内容字体颜色(), 0x000000FF);
    EXPECT_EQ(c.text->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(c.textColour->color(), 0x000000FF);
}

}  // namespace
}  // namespace editortest
