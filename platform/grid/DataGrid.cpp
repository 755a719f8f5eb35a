#include "DataGrid.h"

#include "FilterHeader.h"
#include "GridContextMenu.h"
#include "GridNavigator.h"
#include "GridStyleSheet.h"
#include "GridTableView.h"
#include "GroupByBox.h"
#include "RowIndicator.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace wik::grid {

DataGrid::DataGrid(QWidget *parent)
    : QWidget(parent), model_(new GridViewModel(this)), groupByBox_(new GroupByBox(this)),
      view_(new GridTableView(this, this)), header_(new FilterHeader(view_)),
      indicator_(new RowIndicator(view_)), navigator_(new GridNavigator(this)) {
    view_->setObjectName(QStringLiteral("gridView"));
    view_->setHorizontalHeader(header_);
    view_->setVerticalHeader(indicator_);
    view_->setGridModel(model_);
    setFocusProxy(view_);
    contextMenu_ = new GridContextMenu(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(groupByBox_);
    layout->addWidget(view_, 1);
    layout->addWidget(navigator_);

    palette_ = GridPalette::resolve(nullptr, QApplication::palette(), QApplication::font());
    applyPalette();

    connect(header_, &FilterHeader::filterTextChanged, this, [this](int column, const QString &text) {
        if (model_->setFilterText(column, text))
            afterFilterChange();
    });
    connect(header_, &FilterHeader::sortRequested, this, &DataGrid::sortByClick);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DataGrid::onViewCurrentChanged);
    connect(view_, &GridTableView::groupExpandRequested, this, &DataGrid::setGroupExpandedAt);
    connect(model_, &GridViewModel::sourceRowsReset, this, &DataGrid::onSourceRowsReset);
    connect(model_, &GridViewModel::sourceValuesChanged, this, [this] {
        currentGroup_ = -1;
        syncView();
    });
    connect(groupByBox_, &GroupByBox::groupRequested, this, &DataGrid::groupBy);
    connect(groupByBox_, &GroupByBox::ungroupRequested, this, &DataGrid::ungroup);
    connect(groupByBox_, &GroupByBox::orderToggled, this,
            [this](int column) { sortByClick(column, Qt::NoModifier); });
    connect(navigator_, &GridNavigator::firstRequested, this, &DataGrid::GotoFirst);
    connect(navigator_, &GridNavigator::lastRequested, this, &DataGrid::GotoLast);
    connect(navigator_, &GridNavigator::nextRequested, this, [this] { GotoNext(); });
    connect(navigator_, &GridNavigator::priorRequested, this, [this] { GotoPrior(); });
    connect(navigator_, &GridNavigator::nextPageRequested, this, [this] {
        const int p = model_->filteredPosition(focused_);
        moveToPosition(p < 0 ? model_->insertionPosition(focused_) : p + pageRows());
    });
    connect(navigator_, &GridNavigator::priorPageRequested, this, [this] {
        const int p = model_->filteredPosition(focused_);
        moveToPosition((p < 0 ? model_->insertionPosition(focused_) : p) - pageRows());
    });
    // The focused row changes colour when the focus enters or leaves the grid.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if ((old && isAncestorOf(old)) || (now && isAncestorOf(now)))
            view_->viewport()->update();
    });
}

DataGrid::~DataGrid() {
    // The children give up the focus while they go; the grid is no longer there to repaint.
    disconnect(focusWatch_);
}

void DataGrid::setSourceModel(QAbstractItemModel *model) {
    model_->setSourceModel(model);
    onSourceRowsReset();
}

QAbstractItemModel *DataGrid::sourceModel() const {
    return model_->sourceModel();
}

void DataGrid::setColumns(const QList<GridColumn> &columns) {
    model_->setColumns(columns);
    // New columns start without filters: fresh editors.
    header_->setEditorCount(0);
    header_->setEditorCount(int(columns.size()));
    for (int i = 0; i < columns.size(); ++i)
        header_->resizeSection(i, columns[i].width > 0 ? columns[i].width : defaultColumnWidth_);
    currentGroup_ = -1;
    updateGroupingViews();
    syncView();
}

const QList<GridColumn> &DataGrid::columns() const {
    return model_->columns();
}

void DataGrid::setStyleSheet(const GridStyleSheet *sheet) {
    sheet_ = sheet;
    palette_ = GridPalette::resolve(sheet, QApplication::palette(), QApplication::font());
    applyPalette();
}

void DataGrid::applyPalette() {
    view_->setGridPalette(palette_);
    header_->setGridPalette(palette_);
    indicator_->setGridPalette(palette_);
    groupByBox_->setGridPalette(palette_);
}

void DataGrid::setFocusedSourceRow(int sourceRow) {
    const int rows = sourceModel() ? sourceModel()->rowCount() : 0;
    if (sourceRow < 0 || sourceRow >= rows)
        sourceRow = -1;
    if (sourceRow != focused_)
        focusRow(sourceRow);
    syncView();
}

void DataGrid::focusRow(int sourceRow) {
    focused_ = sourceRow;
    eof_ = false;
    currentGroup_ = -1;
    if (sourceRow >= 0)
        model_->revealSourceRow(sourceRow);
}

void DataGrid::moveFocusTo(int sourceRow) {
    const bool changed = sourceRow != focused_;
    focusRow(sourceRow);
    syncView();
    if (changed)
        emit focusedSourceRowChanged(sourceRow);
}

void DataGrid::moveToPosition(int position) {
    const int count = model_->filteredCount();
    if (count == 0)
        return;
    moveFocusTo(model_->filteredSourceRow(std::clamp(position, 0, count - 1)));
}

int DataGrid::pageRows() const {
    const int h = std::max(1, view_->verticalHeader()->defaultSectionSize());
    return std::max(1, view_->viewport()->height() / h);
}

int DataGrid::FilteredRecordCount() const {
    return model_->filteredCount();
}

void DataGrid::GotoFirst() {
    if (model_->filteredCount() == 0) {
        eof_ = true;
        return;
    }
    moveFocusTo(model_->filteredSourceRow(0));
}

bool DataGrid::GotoNext() {
    int next = 0;
    if (focused_ >= 0) {
        const int p = model_->filteredPosition(focused_);
        // A focused row the filter hides (its values changed) is followed by the first row after
        // its place in the grid's order.
        next = p >= 0 ? p + 1 : model_->insertionPosition(focused_);
    }
    if (next >= model_->filteredCount()) {
        eof_ = true;
        return false;
    }
    moveFocusTo(model_->filteredSourceRow(next));
    return true;
}

bool DataGrid::GotoPrior() {
    if (focused_ < 0)
        return false;
    const int p = model_->filteredPosition(focused_);
    const int prior = (p >= 0 ? p : model_->insertionPosition(focused_)) - 1;
    if (prior < 0 || prior >= model_->filteredCount())
        return false;
    moveFocusTo(model_->filteredSourceRow(prior));
    return true;
}

void DataGrid::GotoLast() {
    moveToPosition(model_->filteredCount() - 1);
}

bool DataGrid::IsEof() const {
    return eof_ || model_->filteredCount() == 0;
}

void DataGrid::setFilterText(int column, const QString &text) {
    if (QLineEdit *e = header_->editor(column))
        e->setText(text); // the editor applies it, as typed
}

QString DataGrid::filterText(int column) const {
    return model_->filterText(column);
}

void DataGrid::afterFilterChange() {
    currentGroup_ = -1;
    if (focused_ >= 0 && model_->filteredPosition(focused_) >= 0) {
        syncView();
        return;
    }
    // The focused row no longer passes: the focus goes to the first row that does.
    moveFocusTo(model_->filteredCount() ? model_->filteredSourceRow(0) : -1);
}

void DataGrid::setSortColumns(const QList<SortColumn> &columns) {
    model_->setSortColumns(columns);
    currentGroup_ = -1;
    updateGroupingViews();
    syncView();
}

QList<SortColumn> DataGrid::sortColumns() const {
    return model_->sortColumns();
}

void DataGrid::sortByClick(int column, Qt::KeyboardModifiers modifiers) {
    if (column < 0 || column >= columns().size())
        return;
    const auto flip = [](Qt::SortOrder o) {
        return o == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    };
    QList<SortColumn> groups = model_->groupColumns();
    for (SortColumn &g : groups) {
        if (g.column == column) {
            if (!(modifiers & Qt::ControlModifier)) {
                g.order = flip(g.order);
                setGroupColumns(groups);
            }
            return;
        }
    }
    QList<SortColumn> sort = model_->sortColumns();
    const auto it = std::find_if(sort.begin(), sort.end(), [column](const SortColumn &s) { return s.column == column; });
    if (modifiers & Qt::ControlModifier) {
        if (it != sort.end())
            sort.erase(it);
    } else if (modifiers & Qt::ShiftModifier) {
        if (it != sort.end())
            it->order = flip(it->order);
        else
            sort.append({column, Qt::AscendingOrder});
    } else {
        const Qt::SortOrder order = it != sort.end() ? flip(it->order) : Qt::AscendingOrder;
        sort = {{column, order}};
    }
    setSortColumns(sort);
}

void DataGrid::groupBy(int column, int level) {
    if (column < 0 || column >= columns().size())
        return;
    QList<SortColumn> groups = model_->groupColumns();
    SortColumn entry{column, Qt::AscendingOrder};
    const auto it = std::find_if(groups.begin(), groups.end(), [column](const SortColumn &s) { return s.column == column; });
    if (it != groups.end()) {
        entry = *it;
        groups.erase(it);
    }
    if (level < 0 || level > groups.size())
        level = int(groups.size());
    groups.insert(level, entry);
    setGroupColumns(groups);
}

void DataGrid::ungroup(int column) {
    QList<SortColumn> groups = model_->groupColumns();
    groups.removeIf([column](const SortColumn &s) { return s.column == column; });
    setGroupColumns(groups);
}

void DataGrid::setGroupColumns(const QList<SortColumn> &columns) {
    model_->setGroupColumns(columns);
    currentGroup_ = -1;
    if (focused_ >= 0)
        model_->revealSourceRow(focused_);
    updateGroupingViews();
    syncView();
}

QList<SortColumn> DataGrid::groupColumns() const {
    return model_->groupColumns();
}

void DataGrid::setGroupExpandedAt(int row, bool expanded) {
    const int group = model_->groupAt(row);
    if (group < 0)
        return;
    model_->setGroupExpanded(group, expanded);
    currentGroup_ = group; // the operator stays on the group row
    syncView();
}

void DataGrid::setAllGroupsExpanded(bool expanded) {
    model_->setAllGroupsExpanded(expanded);
    currentGroup_ = -1;
    syncView();
}

void DataGrid::updateGroupingViews() {
    QList<GroupByBox::Button> buttons;
    for (const SortColumn &g : model_->groupColumns())
        buttons.append({g.column, model_->columnCaption(g.column), g.order});
    groupByBox_->setButtons(buttons);
    header_->setSortColumns(model_->groupColumns() + model_->sortColumns());
}

void DataGrid::syncView() {
    const QScopedValueRollback<bool> guard(syncing_, true);
    int row = -1;
    if (currentGroup_ >= 0 && currentGroup_ < model_->groupCount())
        row = model_->groupRow(currentGroup_);
    if (row < 0) {
        currentGroup_ = -1;
        row = model_->rowShowing(focused_);
    }
    QItemSelectionModel *selection = view_->selectionModel();
    if (row < 0 || model_->columnCount() == 0) {
        selection->clear();
    } else {
        int column = currentColumn_;
        if (column < 0 || column >= model_->columnCount())
            column = std::max(0, header_->logicalIndexAt(0));
        const QModelIndex index = model_->index(row, column);
        // Bring the row into view without scrolling sideways away from the columns being read.
        QScrollBar *sideways = view_->horizontalScrollBar();
        const int keep = sideways->value();
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view_->scrollTo(index);
        sideways->setValue(keep);
    }
    indicator_->setMarkedRow(row);
    const int p = model_->filteredPosition(focused_);
    navigator_->setPosition(p >= 0 ? p + 1 : 0, model_->filteredCount());
    view_->viewport()->update();
}

void DataGrid::onViewCurrentChanged(const QModelIndex &current) {
    if (syncing_ || !current.isValid())
        return;
    currentColumn_ = current.column();
    const int row = current.row();
    const int group = model_->groupAt(row);
    if (group >= 0) {
        // On a group row the focused data row (and the owner's current row) stays.
        currentGroup_ = group;
        indicator_->setMarkedRow(row);
        return;
    }
    currentGroup_ = -1;
    const int sourceRow = model_->sourceRowAt(row);
    indicator_->setMarkedRow(row);
    if (sourceRow == focused_)
        return;
    focused_ = sourceRow;
    eof_ = false;
    const int p = model_->filteredPosition(focused_);
    navigator_->setPosition(p >= 0 ? p + 1 : 0, model_->filteredCount());
    emit focusedSourceRowChanged(sourceRow);
}

void DataGrid::onSourceRowsReset() {
    // The owner re-read its rows: until it says which row is current, the same row number stays
    // focused when there still is one.
    const int rows = sourceModel() ? sourceModel()->rowCount() : 0;
    if (focused_ >= rows)
        focused_ = -1;
    currentGroup_ = -1;
    eof_ = false;
    syncView();
}

} // namespace wik::grid
