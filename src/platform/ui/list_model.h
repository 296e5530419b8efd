#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

// Rows of a ListView: the item text, its check mark and four sub-item texts per row, kept in
// one compact vector so that lists of 100,000 notes stay cheap. Rows are 0-based here; the
// view adds the 1-based addressing.
class ListModel : public QAbstractTableModel {
  public:
    static constexpr int kSubItems = 4;
    // Longest text a cell displays (its stored text is kept whole).
    static constexpr qsizetype kMaxShownChars = 4096;
    // The row's note ID (qint64) in column 0; none for a row without one.
    static constexpr int kIdRole = Qt::UserRole;

    struct Column {
        QString title;
        int widthTwips;
    };

    // Called after a check mark really changed; fromView is true when the change came through
    // the view (a click or the space key), false when the program set it.
    std::function<void(int row, bool fromView)> checkChanged;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void addColumn(const QString& title, int widthTwips);
    const std::vector<Column>& columns() const { return columns_; }

    // How a screen reader reads a row: its check box, which has no text of its own, and the
    // cell nameCell are named by that cell's text and described by what the mark means.
    void setCheckSpeech(int nameCell, const QString& checkedText, const QString& uncheckedText);

    int appendRow(const QString& text);  // returns the new row
    // A row before `row` (size(): at the end), announced at once.
    void insertRow(int row, const QString& text);
    void removeRow(int row);
    void clear();
    void reserve(int n);

    // Every row held, including rows the view has not been told of yet; rowCount() is what the
    // view knows.
    int size() const { return static_cast<int>(rows_.size()); }
    // Between begin and end, appended rows are held back from the view and announced in one
    // insertion at the end (or at flushPending()): one notification instead of one per row and
    // cell. The rows themselves are there at once.
    void beginAppendBatch() { ++batchDepth_; }
    void endAppendBatch();
    void flushPending();

    // cell 0 is the item text, 1..kSubItems the sub-items.
    const QString& cell(int row, int cell) const;
    void setCell(int row, int cell, const QString& text);
    // The cell's text case-folded, for searching: made on first use and kept until the cell
    // changes, so that a search keystroke over many rows only compares.
    const QString& foldedCell(int row, int cell) const;
    bool checked(int row) const { return rows_[static_cast<size_t>(row)].checked; }
    void setChecked(int row, bool checked, bool fromView);

    // A row's ID, and the first row holding an ID (-1: none). The look-up is a hash probe: the
    // index follows every append, insert, removal and clear.
    std::optional<std::int64_t> id(int row) const;
    void setId(int row, std::int64_t id);
    int rowOf(std::int64_t id) const;

  private:
    struct Row {
        std::array<QString, 1 + kSubItems> cells;
        bool checked = false;
        bool hasId = false;
        std::int64_t id = 0;
        mutable qint8 foldedOf = -1;  // the cell `folded` was made from; -1: none
        mutable QString folded;
    };

    bool announced(int row) const { return row < announced_; }
    // Rows at or after `from` move by `by` (an insert or a removal before them).
    void shiftIndex(int from, int by);

    QHash<std::int64_t, int> rowOfId_;
    // Some ID is held by more than one row (a list filled twice): look-ups then scan, so that the
    // first such row is found.
    bool sharedIds_ = false;

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    int speechCell_ = 0;  // 0: rows are read as they are shown
    QString checkedSpeech_;
    QString uncheckedSpeech_;
    int announced_ = 0;  // rows the view has been told of
    int batchDepth_ = 0;
};

}  // namespace platform
