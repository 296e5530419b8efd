#pragma once

#include "store/database_module.h"

// Opens the note store at `path` with the empty password.
void 连接数据库(数据库操作模块& store, const QString& path);

// The note file to open: the program folder's "Zettara.mdb" when there is one, else the user's
// own, which an installed program first copies from the supplied database (see
// NoteStoreLocation). Raises platform::Error when that copy cannot be made.
QString 数据库文件路径();
