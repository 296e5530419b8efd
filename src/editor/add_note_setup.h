#pragma once

#include <QString>
#include <array>

class QComboBox;

// Set-up of the note editor: the texts of the transparency list.
class Class_添加便签 {
  public:
    Class_添加便签();

    // Fills the transparency list with slots 0 to 9 and selects "20%透明".
    void 初始化界面(QComboBox& comboBox);

    const std::array<QString, 11>& 透明度() const { return 透明度文字; }

  private:
    void 填写透明度文字();

    // Slot 10 stays empty and is never listed.
    std::array<QString, 11> 透明度文字;
};
