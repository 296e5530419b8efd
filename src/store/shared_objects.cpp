#include "store/shared_objects.h"

#include "platform/note_store_location.h"

数据库操作模块& 数据库对象() {
    static 数据库操作模块 instance;
    return instance;
}

QString 数据库文件路径() {
    return platform::NoteStoreLocation::forThisProgram().path();
}

void 连接数据库() {
    // An installed program first gives the user a copy of the supplied database.
    数据库对象().打开数据库(platform::NoteStoreLocation::forThisProgram().prepare(), QString());
}
