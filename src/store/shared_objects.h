#pragma once

#include "store/database_module.h"

// Opens the note store at `path` with the empty password.
void 连接数据库(数据库操作模块& store, const QString& path);

// Program folder + "/Zettara.mdb".
QString 数据库文件路径();
