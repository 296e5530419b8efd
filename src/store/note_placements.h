#pragma once

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>

class 数据库操作模块;

// Where each note window was and how big, kept in a table of its own beside Tips. The table is
// made by the first write; a file without it reads as "no placement".
class NotePlacements {
  public:
    // The size is in the program's pixels, so that a note keeps its size at another scale. The
    // position is in pixels of the screen, so that it keeps its spot on the screen; rows written
    // before the scale was kept hold it in the program's pixels.
    struct Place {
        std::optional<QPoint> position;  // none: only the size was stored (compositor placed)
        QSize size;
        double scale = 0;  // of the screen the position was stored on; 0: an older row
    };

    explicit NotePlacements(数据库操作模块& store) : store_(store) {}

    // The stored place of a note; none when there is no row, no table, or no valid size.
    std::optional<Place> find(std::int64_t id) const;
    // Stores the place of an existing note in one statement, waiting only briefly for a lock;
    // a note deleted meanwhile gets no row. A place without a position keeps the stored
    // position. Raises the store's error when it cannot.
    void save(std::int64_t id, const Place& place) const;
    // Forgets a note's placement; a file without the table has nothing to forget.
    void remove(std::int64_t id) const;

  private:
    数据库操作模块& store_;
};
