#pragma once

#include "store/database_module.h"

// The shared note store object, created on first use and kept to the end of the process.
数据库操作模块& 数据库对象();

// Opens the note store at the program folder's "Zettara.mdb" with the empty password.
void 连接数据库();

// Program folder + "/Zettara.mdb".
QString 数据库文件路径();
