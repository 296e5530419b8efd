#pragma once

class Class_主窗体;
namespace platform {
class ListView;
}

// What the note editor needs of the main window.
class EditorHost {
  public:
    virtual ~EditorHost() = default;
    virtual void 编辑_刷新列表_Click() = 0;
    virtual Class_主窗体& 主窗体控制器() = 0;
    virtual platform::ListView& 便签列表() = 0;  // ListView_Zettara
};
