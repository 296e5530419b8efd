#pragma once

#include <QHash>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <optional>

class 数据库操作模块;

// Where each note window was and how big, kept in a table of our own beside Tips (OwnSchema).
// A store whose own tables could not be prepared reads as "no placement" and keeps none; one
// from a newer program is read and left as it is.
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
    using Places = QHash<std::int64_t, Place>;

    explicit NotePlacements(数据库操作模块& store) : store_(store) {}

    // The stored place of a note; none when there is no row or no valid size.
    std::optional<Place> find(std::int64_t id) const;
    // Every stored place that find would give, in one statement (for opening many notes).
    Places findAll() const;
    // Stores the place of an existing note in one statement, waiting only briefly for a lock;
    // a note deleted meanwhile gets no row. A place without a position keeps the stored
    // position. Raises the store's error when it cannot; a store that keeps no placements
    // takes nothing.
    void save(std::int64_t id, const Place& place) const;
    // Forgets a note's placement, where placements are kept.
    void remove(std::int64_t id) const;

  private:
    数据库操作模块& store_;
};
