#pragma once

#include "store/database_module.h"

// The shared note store object, created on first use and kept to the end of the process.
数据库操作模块& 数据库对象();

// Opens the note store with the empty password: the program folder's "Zettara.mdb" when there
// is one, else the user's own (see platform::NoteStoreLocation).
void 连接数据库();

// The note file 连接数据库 opens.
QString 数据库文件路径();
