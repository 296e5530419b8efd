#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "editor/add_note_setup.h"

class EditorHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
namespace platform {
class ColorPicker;
}

// The window in which a note is written (便签ID 0) or changed (便签ID = the note's ID). Every
// opening creates a new, independent window that deletes itself when closed; closing it with
// changes asks whether to save them. Its controls carry their names as object names.
class Form_添加便签 : public QWidget {
  public:
    explicit Form_添加便签(EditorHost& host, QWidget* parent = nullptr);
    ~Form_添加便签() override;

    // Opens the note `id` for modifying: its text, and its colours (0x00BBGGRR) on the text
    // box and the pickers. A colour that could not be read takes a new note's colour.
    void 加载便签(std::int64_t id, const QString& text, std::optional<std::int32_t> backColour,
                  std::optional<std::int32_t> textColour);

    // 0: a new note; otherwise the ID of the note being modified. Back to 0 when the note was
    // deleted meanwhile and its text is kept as a new note.
    std::int64_t 便签ID() const { return 便签ID_; }

    // Colours of the text box (0x00BBGGRR); the stored note colours come from the pickers.
    std::int32_t 内容背景颜色() const { return 内容背景颜色_; }
    std::int32_t 内容字体颜色() const { return 内容字体颜色_; }

    // Stores the note (insert or update) and tells the host, saying whether the editor closes
    // after it; false when the text is empty, or when the note being modified no longer exists
    // and the user keeps the text in the editor. Store errors propagate.
    bool 保存便签(bool closing = false);

    // The note's colours were stored elsewhere (the note menu): the editor shows them, and
    // they count as saved.
    void 颜色已保存(std::int32_t backColour, std::int32_t textColour);

    // Whether the text or a colour differs from what the editor opened with or last saved.
    bool 已修改() const;
    // Restored from minimised, raised and made the active window.
    void 前置();
    // At the end of the desktop session, when nothing can be asked: a changed text is stored
    // (as a new note when the note being modified no longer exists), an empty one is not, and
    // the editor closes from then on without asking. Store errors propagate.
    void 保存不询问();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void 创建控件();
    void 连接事件();
    void Form_Load();
    void 布局();

    void 设置内容背景颜色(std::int32_t colour);
    void 设置内容字体颜色(std::int32_t colour);
    bool 更新便签(bool closing);
    void 执行添加();
    bool 执行更新();  // false when no row was changed: the note no longer exists
    void 记下原样();
    // The close question; true when the editor may close (unchanged, saved, or not wanted).
    bool 可以关闭();
    QString 内容文字() const;  // every line break as "\n"
    QString 保存文字() const;  // ...as it is stored: a modified note keeps its kind of break
    bool 内容已填写();
    int 透明度() const;

    void PushButton_保存并关闭_Click();
    void PushButton_保存且继续添加_Click();
    void CheckBox_高级选项_Click();

    QPlainTextEdit* FlatEdit_内容;
    QGroupBox* GroupBox_高级选项;
    QPushButton* PushButton_保存并关闭;
    QCheckBox* CheckBox_桌面显示;
    QCheckBox* CheckBox_窗口置顶;
    QPushButton* PushButton_保存且继续添加;
    platform::ColorPicker* ColorPicker_字体颜色;
    platform::ColorPicker* ColorPicker_背景颜色;
    QCheckBox* CheckBox_高级选项;
    QLabel* Label1;
    QComboBox* ComboBox_便签透明度;

    EditorHost& host_;
    std::unique_ptr<Class_添加便签> 添加便签_;
    std::int64_t 便签ID_ = 0;
    QString 原文_;        // the stored text, as loaded for modify
    QString 原文显示为_;  // ...and as the editor gives it back unchanged
    std::int32_t 内容背景颜色_ = 0;
    std::int32_t 内容字体颜色_ = 0;
    QString 原样文字_;  // what 已修改 compares with
    std::int32_t 原样背景颜色_ = 0;
    std::int32_t 原样字体颜色_ = 0;
    bool 正在询问_ = false;
    bool 不再询问_ = false;
};
