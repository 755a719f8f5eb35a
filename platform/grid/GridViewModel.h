#pragma once
// What the grid's table shows: the source rows that pass the filter row, in the grid's order
// (grouping columns first, then the sort columns, then the data's own order), with a group row
// opening each group. Rebuilt in stages so that typing in the filter row does not re-sort and
// expanding a group does not re-filter. One instance serves the grid for the whole run; the
// source model can change under it, the filter, sort, grouping and expanded groups stay.
#include "CellFormatter.h"
#include "FoldedTextColumn.h"
#include "GridColumn.h"
#include "SortKeyColumn.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

namespace wik::grid {

struct SortColumn {
    int column = -1;
    Qt::SortOrder order = Qt::AscendingOrder;
    friend bool operator==(const SortColumn &, const SortColumn &) = default;
};

class GridViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        SourceRowRole = Qt::UserRole + 100, // data rows: the source row; group rows: -1
        GroupRowRole,                       // bool
        GroupLevelRole,                     // group rows: 0 for the outermost grouping
        GroupExpandedRole,                  // group rows: bool
    };

    explicit GridViewModel(QObject *parent = nullptr);
    ~GridViewModel() override;

    void setSourceModel(QAbstractItemModel *model);
    QAbstractItemModel *sourceModel() const { return source_; }
    void setColumns(const QList<GridColumn> &columns); // clears filter, sort and grouping
    const QList<GridColumn> &columns() const { return columns_; }
    QString columnCaption(int column) const; // its caption, or the data's column name

    // The filter row: a row passes when each non-empty text is contained in that column's display
    // text, ignoring case. Returns false (and does nothing) when the text did not change.
    bool setFilterText(int column, const QString &text);
    QString filterText(int column) const;

    void setSortColumns(const QList<SortColumn> &columns);
    const QList<SortColumn> &sortColumns() const { return sort_; }
    void setGroupColumns(const QList<SortColumn> &columns); // outermost first
    const QList<SortColumn> &groupColumns() const { return groupBy_; }

    // Rows of the view.
    bool isGroupRow(int row) const { return items_[std::size_t(row)] < 0; }
    int sourceRowAt(int row) const; // -1 for a group row or a row out of range
    int groupAt(int row) const;     // -1 for a data row or a row out of range
    int rowOfSourceRow(int sourceRow) const; // -1 when not shown
    // The row that shows a source row: its own, or the row of the collapsed group holding it;
    // -1 when the row does not pass the filter.
    int rowShowing(int sourceRow) const;

    // Groups, in the order they are shown; an index is good until the groups are rebuilt
    // (filter, sort, grouping or source changes), expanding and collapsing keep it.
    int groupCount() const { return int(groups_.size()); }
    int groupLevel(int group) const { return groups_[std::size_t(group)].level; }
    int groupRowCount(int group) const { return groups_[std::size_t(group)].count; }
    bool isGroupExpanded(int group) const { return groups_[std::size_t(group)].expanded; }
    int groupRow(int group) const { return groups_[std::size_t(group)].row; } // -1: not shown
    QString groupText(int group) const; // "caption : value (rows)"
    void setGroupExpanded(int group, bool expanded);
    void setAllGroupsExpanded(bool expanded);
    // Expands the groups that hold a source row; true when something had to be expanded.
    bool revealSourceRow(int sourceRow);

    // The data rows that pass the filter, in the grid's order; group rows never count and rows
    // inside collapsed groups do.
    int filteredCount() const { return int(filtered_.size()); }
    int filteredSourceRow(int position) const { return filtered_[std::size_t(position)]; }
    int filteredPosition(int sourceRow) const; // -1 when filtered out
    // Where a filtered-out source row would stand among the filtered rows (the position of the
    // first filtered row after it in the grid's order).
    int insertionPosition(int sourceRow) const;

    QVariant value(int sourceRow, int column) const;       // the typed value
    QString displayText(int sourceRow, int column) const; // the cell text

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The source model was reset or changed its rows; the view's rows are rebuilt and the
    // grid's state kept, source row numbers now mean the new rows.
    void sourceRowsReset();
    // Values of existing source rows changed; rows may have entered or left the filter.
    void sourceValuesChanged();

private:
    enum class FilterChange { Narrower, Wider, Other };
    struct Group {
        int level = 0;
        int parent = -1;
        int first = 0;   // position of its first row in filtered_
        int count = 0;   // data rows in it
        int end = 0;     // index after its last descendant group
        int row = -1;    // view row, -1 while inside a collapsed group
        bool expanded = false;
        QString path;    // the group values from the outermost level: keeps it expanded across rebuilds
    };

    void connectSource();
    void beginSourceChange();
    void endSourceChange(bool rowsChanged);
    void rebuildFromSource();
    const FoldedTextColumn &texts(int column);
    const SortKeyColumn &keys(int column);
    bool passesAll(int sourceRow) const;
    void refilter(int column, FilterChange change);
    void resort();
    void collectFiltered();
    void buildGroups();
    void buildItems();
    QString groupSegment(int level, int sourceRow) const;

    QPointer<QAbstractItemModel> source_;
    QList<QMetaObject::Connection> sourceConnections_;
    bool sourceChanging_ = false;
    QList<GridColumn> columns_;
    std::vector<CellFormatter> formatters_;
    QStringList filters_;
    QStringList foldedFilters_;
    QList<SortColumn> sort_;
    QList<SortColumn> groupBy_;
    QSet<QString> expandedPaths_;
    QCollator collator_;

    int sourceRows_ = 0;
    std::vector<std::unique_ptr<FoldedTextColumn>> texts_; // per column, built on first use
    std::vector<std::unique_ptr<SortKeyColumn>> keys_;
    std::vector<char> passes_;      // per source row
    std::vector<int> order_;        // every source row, in the grid's order
    std::vector<int> orderIndex_;   // source row -> index in order_
    std::vector<int> filtered_;     // rows that pass, in the grid's order
    std::vector<int> position_;     // source row -> index in filtered_, or -1
    std::vector<Group> groups_;
    std::vector<int> leafGroup_;    // per position in filtered_: its innermost group
    std::vector<int> items_;        // view rows: a source row, or -(group + 1)
    std::vector<int> rowOfSource_;  // source row -> view row, or -1
};

} // namespace wik::grid
