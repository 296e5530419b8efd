#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Form_Zettara;
class QTimer;
class 数据库操作模块;

// Stores what is typed into a note window in place: a second after the typing pauses, and at
// once when editing ends (which the window's close and the program's exit do). A window whose
// note is not stored yet (ID 0) adds it with the first typed character, and closes when editing
// ends before anything was typed. An empty text is never stored: the note keeps its last text
// and says so. A save never undoes a change it has not seen: when the stored text is no longer
// the one editing began from, the typed text becomes a new note instead.
class InPlaceSaver : public QObject {
  public:
    // Told after each store: `id` is the window's own note, or (added) a note just made from
    // its text; the window's ID is already set when its own note was added.
    using Stored = std::function<void(Form_Zettara& window, std::int64_t id, bool added)>;
    // The saver lives as the window's child; the store must outlive the window.
    static void attach(Form_Zettara& window, 数据库操作模块& store, Stored stored);

  private:
    InPlaceSaver(Form_Zettara& window, 数据库操作模块& store, Stored stored);
    void edited();
    void ended();
    void save();

    Form_Zettara& window_;
    数据库操作模块& store_;
    Stored stored_;
    QTimer* pause_;
    std::optional<QString> base_;  // the stored text the typing started from
};
