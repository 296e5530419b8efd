#pragma once

class 数据库操作模块;

// The numbers (IDs) the store gives new notes.
class NoteNumbers {
  public:
    // No new note can get one: the largest there is has been given out (the engine then calls
    // the database full). False when that cannot be read.
    static bool exhausted(数据库操作模块& store);
};
