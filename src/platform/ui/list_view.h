#pragma once

#include <QStringList>
#include <QTreeView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

class ListView;
class ListModel;
class ListFilter;

// A handle on one row of a ListView, addressed by its 1-based position at the time it was
// taken. It stays valid until rows before it are inserted or removed; a note is found again
// by its ID (ListView::indexOf).
class ListItem {
  public:
    ListItem(ListView* view, int index) : view_(view), index_(index) {}

    int index() const { return index_; }
    ListView* listView() const { return view_; }

    QString text() const;
    bool checked() const;
    void setChecked(bool checked) const;
    void setSelected(bool selected) const;
    QString subItem(int k) const;  // k = 1..4 (columns after the first)
    void setSubItem(int k, const QString& text) const;
    std::optional<std::int64_t> id() const;

  private:
    ListView* view_;
    int index_;
};

// Report view with a check box on every row, over a model of its own (fast with many rows).
// Rows are addressed from 1. Column 0 holds the item's text and check mark; SubItems(k) are
// the texts of column k.
// A row filter can hide rows from the user. Every index of this class is a position among all
// rows, hidden or not (count, item, remove, selectedIndex...); only visibleRowCount and
// visibleRow speak of the rows the user sees.
class ListView : public QTreeView {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    void addColumn(const QString& title, int widthTwips);
    int columnCount() const;
    QString columnTitle(int column) const;  // 0-based
    int columnWidthTwips(int column) const;
    // A screen reader reads a row's check box as the text of sub-item k, with checkedText or
    // uncheckedText saying what the mark means; before this, the box has no name.
    void setCheckSpeech(int k, const QString& checkedText, const QString& uncheckedText);

    int count() const;
    ListItem item(int index) const;  // errc::itemNotFound when out of range
    ListItem add(const QString& text);
    // A new row at index (count() + 1: at the end); the rows from index on move down one.
    ListItem insert(int index, const QString& text);
    // Removing the selected (or current) row leaves no row selected or current.
    void remove(int index);
    void clear();
    // No row selected and none current, as after clear().
    void deselectAll();
    // Reserves room for n more rows before a long run of add().
    void reserve(int n);

    // While one lives, add() tells the view nothing; the view learns of the new rows in one
    // go when the last batch ends. Items, check marks and notifications work as always.
    class AppendBatch {
      public:
        explicit AppendBatch(ListView& view);
        ~AppendBatch();
        AppendBatch(const AppendBatch&) = delete;
        AppendBatch& operator=(const AppendBatch&) = delete;

      private:
        ListView& view_;
    };

    // The selected row, or 0 when none is selected. A selected row is always a visible one.
    int selectedIndex() const;

    // Shows only the rows whose sub-item k holds every one of words, ignoring case; no words:
    // every row. Kept through clear() and later add()s.
    void setRowFilter(int k, const QStringList& words);
    // The rows the user sees, in their order: how many, and the index of the one at a 1-based
    // position among them (errc::itemNotFound when out of range).
    int visibleRowCount() const;
    int visibleRow(int position) const;

    QString text(int index) const;
    bool checked(int index) const;
    // Raises itemCheck synchronously when the mark really changes.
    void setChecked(int index, bool checked);
    // A row the filter hides cannot be selected: selecting it changes nothing.
    void setSelected(int index, bool selected);
    QString subItem(int index, int k) const;
    void setSubItem(int index, int k, const QString& text);
    // The note ID a row carries, kept apart from its texts; none until set.
    std::optional<std::int64_t> id(int index) const;
    void setId(int index, std::int64_t id);
    // The first row carrying id, or 0: found without reading any row.
    int indexOf(std::int64_t id) const;

    // Exactly one call per real change of a check mark, by the user or by the program.
    std::function<void(ListItem)> itemCheck;
    // A double click on a row, outside column 0 (its check box, where each click of the two
    // toggles the mark).
    std::function<void(int index)> doubleClick;
    // Mouse-button notification: button 1 left, 2 right, 4 middle; shift state; x, y in twips.
    std::function<void(int button, int shift, double x, double y)> mouseUp;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Space toggles the current row's check box whichever cell of the row is current.
    void keyPressEvent(QKeyEvent* event) override;
    // The focus arriving makes no row current: only the user picks one.
    void focusInEvent(QFocusEvent* event) override;

  private:
    friend class ListModel;
    void raiseItemCheck(int index);

    QModelIndex viewIndex(int row) const;  // invalid for a hidden row
    int modelRow(const QModelIndex& viewIndex) const;

    std::unique_ptr<ListModel> model_;
    std::unique_ptr<ListFilter> filter_;  // what the view shows of model_
};

}  // namespace platform
