#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <utility>
#include <vector>

#include "editor/editor_host.h"
#include "editor/note_editor.h"
#include "platform/core/clock.h"
#include "platform/core/error.h"
#include "platform/ui/color_picker.h"
#include "platform/ui/twips.h"
#include "seams.h"
#include "store/database_module.h"
#include "support/test_helpers.h"

namespace editortest {

// Stands in for the main window: the store, and every save it hears of.
class FakeEditorHost : public EditorHost {
  public:
    数据库操作模块& 数据库对象() override { return store; }
    void 便签已保存(std::int64_t 便签ID, bool closing) override {
        saved.emplace_back(便签ID, closing);
    }

    数据库操作模块 store;
    std::vector<std::pair<int, bool>> saved;  // (便签ID, closing)
};

// An editor's controls, found by their names: `const Controls c{editor};`.
struct Controls {
    template <typename T>
    static T* find(const Form_添加便签* editor, const char* name) {
        return testsupport::control<T>(*editor, QString::fromUtf8(name));
    }
    const Form_添加便签* e;
    QPlainTextEdit* text = find<QPlainTextEdit>(e, "FlatEdit_内容");
    QGroupBox* advanced = find<QGroupBox>(e, "GroupBox_高级选项");
    QPushButton* saveAndClose = find<QPushButton>(e, "PushButton_保存并关闭");
    QCheckBox* onDesktop = find<QCheckBox>(e, "CheckBox_桌面显示");
    QCheckBox* onTop = find<QCheckBox>(e, "CheckBox_窗口置顶");
    QPushButton* saveAndKeepAdding = find<QPushButton>(e, "PushButton_保存且继续添加");
    platform::ColorPicker* textColour = find<platform::ColorPicker>(e, "ColorPicker_字体颜色");
    platform::ColorPicker* backColour = find<platform::ColorPicker>(e, "ColorPicker_背景颜色");
    QCheckBox* showAdvanced = find<QCheckBox>(e, "CheckBox_高级选项");
    QLabel* label1 = find<QLabel>(e, "Label1");
    QComboBox* transparency = find<QComboBox>(e, "ComboBox_便签透明度");
};

// A fresh note store opened as the program opens it, a host, and recorded message boxes.
class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::Seams::setLogicalDpi(96);
        host.store.打开数据库(db.path(), QString());
    }

    void TearDown() override {
        for (auto& editor : editors) delete editor.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Some tests close the store themselves.
        if (host.store.database() && host.store.database()->isOpen()) host.store.关闭数据库();
        testsupport::Seams::setClock({});
        testsupport::Seams::setLogicalDpi(0);
    }

    // A new editor in add mode (便签ID 0), or for the note `id` with the default colours.
    Form_添加便签* openEditor(std::int32_t id = 0) {
        auto* editor = new Form_添加便签(host);
        if (id != 0) editor->加载便签(id, QString(), 12648447, 0);
        editors.emplace_back(editor);
        return editor;
    }

    void setClock(const QDateTime& when) {
        testsupport::Seams::setClock([when] { return when; });
    }

    testsupport::TempNoteDb db;
    testsupport::MsgBoxRecorder boxes;
    FakeEditorHost host;
    std::vector<QPointer<Form_添加便签>> editors;
};

}  // namespace editortest
