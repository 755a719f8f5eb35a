#pragma once
// The data grid: the group-by box, the column headers with the filter row, the rows with the
// row indicator, and the navigator bar, over any flat table model (Qt::EditRole: typed values,
// invalid for NULL). The grid only shows: no cell is ever edited and no button changes data.
//
// The focused row ties to the owner's current row both ways: operator moves (clicks, keys, the
// navigator, a filter that hides the focused row) and GotoFirst/GotoNext emit
// focusedSourceRowChanged; setFocusedSourceRow never emits. When the source model is reset,
// filter, sort, grouping and expanded groups stay, and the owner calls setFocusedSourceRow
// with its current row once the new rows are in; until then the grid keeps the same row number.
#include "GridColumn.h"
#include "GridPalette.h"
#include "GridViewModel.h"

#include <QList>
#include <QWidget>

class QAbstractItemModel;

namespace wik::grid {

class FilterHeader;
class GridContextMenu;
class GridNavigator;
class GridStyleSheet;
class GridTableView;
class GroupByBox;
class RowIndicator;

class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setSourceModel(QAbstractItemModel *model);
    QAbstractItemModel *sourceModel() const;
    // Also clears the filter, the sort and the grouping.
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const;
    void setDefaultColumnWidth(int width) { defaultColumnWidth_ = width; }
    int defaultColumnWidth() const { return defaultColumnWidth_; }

    // The sheet stays its owner's; the grid only refers to it (null: the system colours).
    using QWidget::setStyleSheet;
    void setStyleSheet(const GridStyleSheet *sheet);
    const GridStyleSheet *gridStyleSheet() const { return sheet_; }
    const GridPalette &gridPalette() const { return palette_; }

    // The focused data row as a source row; -1 when none.
    int focusedSourceRow() const { return focused_; }
    // Focuses a source row (opening the groups that hold it) without emitting
    // focusedSourceRowChanged. A row the filter hides stays the focused row, unmarked.
    void setFocusedSourceRow(int sourceRow);

    // The data controller: the data rows that pass the filter row, in the grid's order (sorted
    // and grouped); rows inside collapsed groups count and are visited (their groups open
    // when they are focused), group rows never.
    int FilteredRecordCount() const;
    void GotoFirst();
    bool GotoNext(); // false, focus unchanged, at the end
    bool GotoPrior();
    void GotoLast();
    bool IsEof() const; // the last GotoNext found no further row, or no row passes

    // The filter row, as the operator types it.
    void setFilterText(int column, const QString &text);
    QString filterText(int column) const;

    void setSortColumns(const QList<SortColumn> &columns);
    QList<SortColumn> sortColumns() const;
    // A caption click: plain sorts by that column only (again: the other way round), Shift adds
    // the column to the sort (or reverses it there), Ctrl removes it. On a grouping column it
    // reverses the group order.
    void sortByClick(int column, Qt::KeyboardModifiers modifiers);

    void groupBy(int column, int level = -1); // -1: innermost
    void ungroup(int column);
    void setGroupColumns(const QList<SortColumn> &columns);
    QList<SortColumn> groupColumns() const;
    void setGroupExpandedAt(int row, bool expanded); // row: a group row of the table
    void setAllGroupsExpanded(bool expanded);

    GridTableView *tableView() const { return view_; }
    FilterHeader *filterHeader() const { return header_; }
    RowIndicator *rowIndicator() const { return indicator_; }
    GroupByBox *groupByBox() const { return groupByBox_; }
    GridNavigator *navigator() const { return navigator_; }
    GridViewModel *viewModel() const { return model_; }
    // "Copy" and "Export CSV..." on the table.
    GridContextMenu *contextMenu() const { return contextMenu_; }

signals:
    void focusedSourceRowChanged(int sourceRow);

private:
    void applyPalette();
    void moveFocusTo(int sourceRow); // an operator move: opens its groups, emits when it changed
    void focusRow(int sourceRow);    // the row becomes the focused one, its groups open
    void moveToPosition(int position);
    int pageRows() const;
    void syncView();
    void updateGroupingViews();
    void afterFilterChange();
    void onViewCurrentChanged(const QModelIndex &current);
    void onSourceRowsReset();

    GridViewModel *model_;
    GroupByBox *groupByBox_;
    GridTableView *view_;
    FilterHeader *header_;
    RowIndicator *indicator_;
    GridNavigator *navigator_;
    GridContextMenu *contextMenu_ = nullptr;
    const GridStyleSheet *sheet_ = nullptr;
    GridPalette palette_;
    int defaultColumnWidth_ = 100;
    int focused_ = -1;
    int currentGroup_ = -1; // the group row the operator stands on, -1 on a data row
    int currentColumn_ = -1;
    bool eof_ = false;
    bool syncing_ = false;
    QMetaObject::Connection focusWatch_;
};

} // namespace wik::grid
