#include "platform/ui/list_model.h"

#include <algorithm>

#include "platform/ui/accessible_text.h"

namespace platform {

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() > kSubItems) return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole: {
            // Rows are one line high: show line breaks of a note as blanks. A row is also at
            // most a few thousand pixels wide, so characters past kMaxShownChars can never be
            // seen, while laying out a 1 MB note on every paint costs tens of milliseconds.
            const QString& stored = row.cells[static_cast<size_t>(index.column())];
            qsizetype shown = std::min(stored.size(), kMaxShownChars);
            if (shown < stored.size() && stored.at(shown - 1).isHighSurrogate()) --shown;
            QString text = stored.left(shown);
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            return text;
        }
        case Qt::CheckStateRole:
            if (index.column() == 0) return row.checked ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::AccessibleTextRole:
            if (speechCell_ > 0 && (index.column() == 0 || index.column() == speechCell_))
                return spokenName(row.cells[static_cast<size_t>(speechCell_)]);
            return {};
        case Qt::AccessibleDescriptionRole:
            if (speechCell_ > 0 && (index.column() == 0 || index.column() == speechCell_))
                return row.checked ? checkedSpeech_ : uncheckedSpeech_;
            return {};
        case kIdRole:
            if (index.column() == 0 && row.hasId) return QVariant::fromValue<qint64>(row.id);
            return {};
        default:
            return {};
    }
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Only the check box can be changed through the view.
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
    setChecked(index.row(), value.toInt() != Qt::Unchecked, true);
    return true;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return {};
    }
    return columns_[static_cast<size_t>(section)].title;
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) result |= Qt::ItemIsUserCheckable;
    return result;
}

void ListModel::addColumn(const QString& title, int widthTwips) {
    const int column = static_cast<int>(columns_.size());
    beginInsertColumns({}, column, column);
    columns_.push_back({title, widthTwips});
    endInsertColumns();
}

void ListModel::setCheckSpeech(int nameCell, const QString& checkedText,
                               const QString& uncheckedText) {
    speechCell_ = nameCell;
    checkedSpeech_ = checkedText;
    uncheckedSpeech_ = uncheckedText;
}

int ListModel::appendRow(const QString& text) {
    const int row = size();
    if (batchDepth_ > 0) {
        rows_.emplace_back().cells[0] = text;
        return row;
    }
    flushPending();
    beginInsertRows({}, row, row);
    rows_.emplace_back().cells[0] = text;
    announced_ = size();
    endInsertRows();
    return row;
}

void ListModel::insertRow(int row, const QString& text) {
    flushPending();
    beginInsertRows({}, row, row);
    shiftIndex(row, 1);
    rows_.emplace(rows_.begin() + row)->cells[0] = text;
    announced_ = size();
    endInsertRows();
}

void ListModel::endAppendBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0) flushPending();
}

void ListModel::flushPending() {
    if (announced_ >= size()) return;
    beginInsertRows({}, announced_, size() - 1);
    announced_ = size();
    endInsertRows();
}

void ListModel::removeRow(int row) {
    flushPending();
    beginRemoveRows({}, row, row);
    const Row& gone = rows_[static_cast<size_t>(row)];
    if (gone.hasId && rowOfId_.value(gone.id, -1) == row) rowOfId_.remove(gone.id);
    shiftIndex(row + 1, -1);
    rows_.erase(rows_.begin() + row);
    announced_ = size();
    endRemoveRows();
}

void ListModel::clear() {
    beginResetModel();
    rows_.clear();
    rowOfId_.clear();
    sharedIds_ = false;
    announced_ = 0;
    endResetModel();
}

void ListModel::reserve(int n) {
    if (n > 0) rows_.reserve(rows_.size() + static_cast<size_t>(n));
}

const QString& ListModel::cell(int row, int cell) const {
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(cell)];
}

const QString& ListModel::foldedCell(int row, int cell) const {
    const Row& stored = rows_[static_cast<size_t>(row)];
    if (stored.foldedOf != cell) {
        // Shares the cell's text when folding changes nothing (most CJK text).
        stored.folded = stored.cells[static_cast<size_t>(cell)].toCaseFolded();
        stored.foldedOf = static_cast<qint8>(cell);
    }
    return stored.folded;
}

void ListModel::setCell(int row, int cell, const QString& text) {
    Row& changedRow = rows_[static_cast<size_t>(row)];
    QString& stored = changedRow.cells[static_cast<size_t>(cell)];
    if (stored == text) return;
    stored = text;
    if (changedRow.foldedOf == cell) {
        changedRow.foldedOf = -1;
        changedRow.folded.clear();
    }
    if (cell < columnCount() && announced(row)) {
        // The check box is named by the cell read out for the row.
        const QModelIndex first = index(row, cell == speechCell_ ? 0 : cell);
        emit dataChanged(first, index(row, cell), {Qt::DisplayRole, Qt::AccessibleTextRole});
    }
}

void ListModel::setChecked(int row, bool checked, bool fromView) {
    Row& stored = rows_[static_cast<size_t>(row)];
    if (stored.checked == checked) return;
    stored.checked = checked;
    if (!columns_.empty() && announced(row)) {
        const QModelIndex changed = index(row, 0);
        emit dataChanged(changed, changed, {Qt::CheckStateRole, Qt::AccessibleDescriptionRole});
    }
    if (checkChanged) checkChanged(row, fromView);
}

std::optional<std::int64_t> ListModel::id(int row) const {
    const Row& stored = rows_[static_cast<size_t>(row)];
    if (!stored.hasId) return std::nullopt;
    return stored.id;
}

void ListModel::setId(int row, std::int64_t id) {
    Row& stored = rows_[static_cast<size_t>(row)];
    if (stored.hasId && stored.id == id) return;
    if (stored.hasId && rowOfId_.value(stored.id, -1) == row) rowOfId_.remove(stored.id);
    stored.hasId = true;
    stored.id = id;
    const auto entry = rowOfId_.find(id);
    if (entry == rowOfId_.end()) {
        rowOfId_.insert(id, row);
    } else {
        sharedIds_ = true;
        entry.value() = std::min(entry.value(), row);
    }
}

int ListModel::rowOf(std::int64_t id) const {
    if (!sharedIds_) return rowOfId_.value(id, -1);
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [id](const Row& row) { return row.hasId && row.id == id; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

void ListModel::shiftIndex(int from, int by) {
    // Called before the rows change. Nothing moves after a change at the end, the common case.
    if (from >= size()) return;
    for (auto entry = rowOfId_.begin(); entry != rowOfId_.end(); ++entry) {
        if (entry.value() >= from) entry.value() += by;
    }
}

}  // namespace platform
