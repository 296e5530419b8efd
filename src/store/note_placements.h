#pragma once

#include <QHash>
#include <QRect>
#include <cstdint>
#include <optional>

class 数据库操作模块;

// Where each note window was and how big, in pixels of the virtual desktop, kept in a table of
// its own beside Tips. The table is made by the first write; a file without it reads as "no
// placement".
class NotePlacements {
  public:
    explicit NotePlacements(数据库操作模块& store) : store_(store) {}

    // The stored rectangle of a note; none when there is no row, no table, or no valid size.
    std::optional<QRect> find(std::int32_t id) const;
    // Every stored rectangle that find would give, in one statement (for opening many notes).
    QHash<std::int32_t, QRect> findAll() const;
    // Stores the rectangle of an existing note in one statement, waiting only briefly for a
    // lock; a note deleted meanwhile gets no row. Raises the store's error when it cannot.
    void save(std::int32_t id, const QRect& rect) const;
    // Forgets a note's placement; a file without the table has nothing to forget.
    void remove(std::int32_t id) const;

  private:
    数据库操作模块& store_;
};
