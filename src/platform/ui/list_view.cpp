#include "platform/ui/list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/core/error.h"
#include "platform/ui/guard.h"
#include "platform/ui/list_filter.h"
#include "platform/ui/list_model.h"
#include "platform/ui/twips.h"

namespace platform {

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

const ListModel::Column& columnEntry(const ListModel& model, int column) {
    if (column < 0 || column >= model.columnCount()) {
        throw Error(Trouble::Internal, errc::itemNotFound,
                    QStringLiteral("Column %1 does not exist.").arg(column));
    }
    return model.columns()[static_cast<size_t>(column)];
}

void requireSubItem(int k) {
    if (k < 1 || k > ListModel::kSubItems) {
        throw Error(Trouble::Internal, errc::itemNotFound,
                    QStringLiteral("Sub-item %1 does not exist.").arg(k));
    }
}

}  // namespace

// --- ListItem ---

QString ListItem::text() const {
    return view_->text(index_);
}
bool ListItem::checked() const {
    return view_->checked(index_);
}
void ListItem::setChecked(bool checked) const {
    view_->setChecked(index_, checked);
}
void ListItem::setSelected(bool selected) const {
    view_->setSelected(index_, selected);
}
QString ListItem::subItem(int k) const {
    return view_->subItem(index_, k);
}
void ListItem::setSubItem(int k, const QString& text) const {
    view_->setSubItem(index_, k, text);
}

std::optional<std::int64_t> ListItem::id() const {
    return view_->id(index_);
}

// --- ListView ---

ListView::ListView(QWidget* parent)
    : QTreeView(parent),
      model_(std::make_unique<ListModel>()),
      filter_(std::make_unique<ListFilter>(*model_)) {
    setModel(filter_.get());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);

    model_->checkChanged = [this](int row, bool fromView) {
        if (fromView) {
            // A click or key press: this is an event entry point.
            runEvent([&] { raiseItemCheck(row + 1); });
        } else {
            // The program's own change: failures go back to the code that made it.
            raiseItemCheck(row + 1);
        }
    };
    // Column 0 holds only the check box, where each click of a double click toggles the mark.
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = modelRow(index);
        if (doubleClick && row >= 0 && index.column() != 0) runEvent([&] { doubleClick(row + 1); });
    });
}

ListView::~ListView() {
    // The view must let go of the models before they go away.
    setModel(nullptr);
}

void ListView::addColumn(const QString& title, int widthTwips) {
    model_->addColumn(title, widthTwips);
    const int column = model_->columnCount() - 1;
    setColumnWidth(column, twips::toPixels(widthTwips));
}

int ListView::columnCount() const {
    return model_->columnCount();
}

QString ListView::columnTitle(int column) const {
    return columnEntry(*model_, column).title;
}

int ListView::columnWidthTwips(int column) const {
    const int stored = columnEntry(*model_, column).widthTwips;
    const int pixels = columnWidth(column);
    // Report the width as given unless the user has dragged the column to a new size.
    if (pixels == twips::toPixels(stored)) return stored;
    return static_cast<int>(qRound(twips::fromPixels(pixels)));
}

void ListView::setCheckSpeech(int k, const QString& checkedText, const QString& uncheckedText) {
    requireSubItem(k);
    model_->setCheckSpeech(k, checkedText, uncheckedText);
}

int ListView::count() const {
    return model_->size();
}

ListItem ListView::item(int index) const {
    if (index < 1 || index > count()) {
        throw Error(Trouble::Internal, errc::itemNotFound,
                    QStringLiteral("List item %1 does not exist.").arg(index));
    }
    return ListItem(const_cast<ListView*>(this), index);
}

ListItem ListView::add(const QString& text) {
    return ListItem(this, model_->appendRow(text) + 1);
}

ListItem ListView::insert(int index, const QString& text) {
    if (index < 1 || index > count() + 1) {
        throw Error(Trouble::Internal, errc::itemNotFound,
                    QStringLiteral("List item %1 does not exist.").arg(index));
    }
    model_->insertRow(index - 1, text);
    return ListItem(this, index);
}

void ListView::remove(int index) {
    const int row = item(index).index() - 1;
    const QModelIndex current = currentIndex();
    const bool picked = (current.isValid() && modelRow(current) == row) || selectedIndex() == index;
    model_->removeRow(row);
    // The view would move the selection on to a neighbour, which a second Del would then
    // remove without the user ever having picked it.
    if (picked) selectionModel()->clear();
}

void ListView::clear() {
    model_->clear();
}

void ListView::deselectAll() {
    selectionModel()->clear();
}

void ListView::reserve(int n) {
    model_->reserve(n);
}

ListView::AppendBatch::AppendBatch(ListView& view) : view_(view) {
    view_.model_->beginAppendBatch();
}

ListView::AppendBatch::~AppendBatch() {
    view_.model_->endAppendBatch();
}

int ListView::selectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : modelRow(rows.first()) + 1;
}

void ListView::setRowFilter(int k, const QStringList& words) {
    requireSubItem(k);
    filter_->setWords(k, words);
}

int ListView::visibleRowCount() const {
    return filter_->rowCount();
}

int ListView::visibleRow(int position) const {
    if (position < 1 || position > visibleRowCount()) {
        throw Error(Trouble::Internal, errc::itemNotFound,
                    QStringLiteral("Visible row %1 does not exist.").arg(position));
    }
    return modelRow(filter_->index(position - 1, 0)) + 1;
}

QModelIndex ListView::viewIndex(int row) const {
    return filter_->mapFromSource(model_->index(row, 0));
}

int ListView::modelRow(const QModelIndex& viewIndex) const {
    return filter_->mapToSource(viewIndex).row();
}

QString ListView::text(int index) const {
    return model_->cell(item(index).index() - 1, 0);
}

bool ListView::checked(int index) const {
    return model_->checked(item(index).index() - 1);
}

void ListView::setChecked(int index, bool checked) {
    model_->setChecked(item(index).index() - 1, checked, false);
}

void ListView::setSelected(int index, bool selected) {
    const int row = item(index).index() - 1;
    if (columnCount() == 0) return;  // nothing that could show a selection
    model_->flushPending();          // the view must know the row to select it
    const QModelIndex cell = viewIndex(row);
    if (!cell.isValid()) return;
    if (selected) {
        selectionModel()->setCurrentIndex(
            cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->select(cell, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
}

QString ListView::subItem(int index, int k) const {
    const int row = item(index).index() - 1;
    requireSubItem(k);
    return model_->cell(row, k);
}

void ListView::setSubItem(int index, int k, const QString& text) {
    const int row = item(index).index() - 1;
    requireSubItem(k);
    model_->setCell(row, k, text);
}

std::optional<std::int64_t> ListView::id(int index) const {
    return model_->id(item(index).index() - 1);
}

void ListView::setId(int index, std::int64_t id) {
    model_->setId(item(index).index() - 1, id);
}

int ListView::indexOf(std::int64_t id) const {
    return model_->rowOf(id) + 1;
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    // Let the view finish its own handling first (a click on a check box toggles it).
    QTreeView::mouseReleaseEvent(event);
    const int button = buttonCode(event->button());
    if (button == 0 || !mouseUp) return;
    const QPointF pos = event->position();
    const int shift = shiftCode(event->modifiers());
    runEvent(
        [&] { mouseUp(button, shift, twips::fromPixels(pos.x()), twips::fromPixels(pos.y())); });
}

void ListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) &&
        event->modifiers() == Qt::NoModifier && current.isValid()) {
        const int row = modelRow(current);
        model_->setData(model_->index(row, 0), model_->checked(row) ? Qt::Unchecked : Qt::Checked,
                        Qt::CheckStateRole);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ListView::focusInEvent(QFocusEvent* event) {
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    // The view makes the first row current when the focus comes in; Space would then tick it.
    if (!hadCurrent && currentIndex().isValid()) selectionModel()->clearCurrentIndex();
}

void ListView::raiseItemCheck(int index) {
    if (itemCheck) itemCheck(ListItem(this, index));
}

}  // namespace platform
