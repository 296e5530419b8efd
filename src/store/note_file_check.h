#pragma once

#include <QString>

class 数据库操作模块;

// The store checks itself after opening: a damaged note file raises an error whose message
// names the file and its newest backup (or says there is none), so that start-up ends
// without writing anything.
class NoteFileCheck {
  public:
    static void run(数据库操作模块& store, const QString& noteFile);
};
