#include "editor/add_note_setup.h"

#include <QComboBox>
#include <QCoreApplication>

Class_添加便签::Class_添加便签() {
    填写透明度文字();
}

void Class_添加便签::填写透明度文字() {
    透明度文字[0] = QCoreApplication::translate("NoteEditor", "不透明");
    for (int i = 1; i <= 9; ++i)
        透明度文字[i] = QCoreApplication::translate("NoteEditor", "%1%透明").arg(i * 10);
}

void Class_添加便签::初始化界面(QComboBox& comboBox) {
    const int last = static_cast<int>(透明度文字.size()) - 1;
    for (int i = 0; i < last; ++i) comboBox.addItem(透明度文字[i]);
    comboBox.setCurrentIndex(2);
}
