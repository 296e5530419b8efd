#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <utility>
#include <vector>

#include "controller/note_list_controller.h"
#include "editor/editor_host.h"
#include "editor/note_editor.h"
#include "notewindow/note_menu_host.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/list_view.h"
#include "platform/twips.h"
#include "store/shared_objects.h"
#include "support/test_helpers.h"

namespace editortest {

class FakeMenuHost : public NoteMenuHost {
  public:
    void setCurrentNoteId(std::int32_t id) override { currentId = id; }
    QMenu* noteMenu() override { return &menu; }
    std::int32_t currentId = 0;
    QMenu menu;
};

// Stands in for the main window: a real list and controller, reloaded the way the main window
// reloads them, with every check change after a reload recorded.
class FakeEditorHost : public EditorHost {
  public:
    FakeEditorHost() : controller(list, menuHost) {
        list.itemCheck = [this](platform::ListItem item) {
            checks.emplace_back(item.index(), item.checked());
            controller.便签显示(item);
        };
        controller.初始化界面(list);
        checks.clear();
    }

    void 编辑_刷新列表_Click() override {
        ++reloads;
        if (reloadFails) throw platform::Error(5, QStringLiteral("database is locked"));
        list.clear();
        platform::Recordset rs = controller.获取数据();
        controller.刷新数据(list, rs);
        checks.clear();
    }
    Class_主窗体& 主窗体控制器() override { return controller; }
    platform::ListView& 便签列表() override { return list; }

    platform::ListView list;
    FakeMenuHost menuHost;
    Class_主窗体 controller;
    int reloads = 0;
    bool reloadFails = false;  // as when another process holds the lock after the save
    std::vector<std::pair<int, bool>> checks;  // (row, checked) since the last reload
};

// A fresh note store opened as the program opens it, a host, and recorded message boxes.
class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::twips::setLogicalDpiForTests(96);
        数据库对象().打开数据库(db.path(), QString());
        host = std::make_unique<FakeEditorHost>();
    }

    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) window->close();
        }
        for (auto& editor : editors) delete editor.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        host.reset();
        // Some tests close the store themselves.
        if (数据库对象().database() && 数据库对象().database()->isOpen()) 数据库对象().关闭数据库();
        platform::clock::setForTests({});
        platform::twips::setLogicalDpiForTests(0);
    }

    // A new editor in add mode (便签ID 0), or for the note `id`.
    Form_添加便签* openEditor(std::int32_t id = 0) {
        auto* editor = new Form_添加便签(*host);
        editor->便签ID = id;
        editors.emplace_back(editor);
        return editor;
    }

    void setClock(const QDateTime& when) {
        platform::clock::setForTests([when] { return when; });
    }

    testsupport::TempNoteDb db;
    testsupport::MsgBoxRecorder boxes;
    std::unique_ptr<FakeEditorHost> host;
    std::vector<QPointer<Form_添加便签>> editors;
};

}  // namespace editortest
