#include "store/shared_objects.h"

#include "platform/app.h"

数据库操作模块& 数据库对象() {
    static 数据库操作模块 instance;
    return instance;
}

QString 数据库文件路径() {
    return platform::app::path() + QStringLiteral("/Zettara.mdb");
}

void 连接数据库() {
    数据库对象().打开数据库(数据库文件路径(), QString());
}
