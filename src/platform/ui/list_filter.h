#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

namespace platform {

class ListModel;

// What a ListView shows of its rows: those whose searched cell holds every search word,
// ignoring case. Without words every row passes. Rows are neither sorted nor changed.
class ListFilter : public QSortFilterProxyModel {
  public:
    explicit ListFilter(ListModel& rows);

    // words are split already; empty ones are ignored.
    void setWords(int cell, const QStringList& words);
    bool active() const { return !words_.isEmpty(); }

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    ListModel& rows_;
    int cell_ = 0;
    QStringList words_;  // case-folded
};

}  // namespace platform
