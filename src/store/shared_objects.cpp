#include "store/shared_objects.h"

#include "store/note_store_location.h"

QString 数据库文件路径() {
    return NoteStoreLocation::forThisProgram().prepare();
}

void 连接数据库(数据库操作模块& store, const QString& path) {
    store.打开数据库(path, QString());
}
