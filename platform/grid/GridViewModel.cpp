#include "GridViewModel.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace wik::grid {

namespace {
// Texts sort in the regional collation; a system without a region (the "C" locale) would sort
// by code point, putting "Ștefan" after "Zamfir" and "ana" after "Tudor", so it takes the
// language-neutral one instead.
QLocale collationLocale() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}
} // namespace

GridViewModel::GridViewModel(QObject *parent)
    : QAbstractTableModel(parent), collator_(collationLocale()) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

GridViewModel::~GridViewModel() = default;

void GridViewModel::setSourceModel(QAbstractItemModel *model) {
    beginResetModel();
    for (const auto &c : sourceConnections_)
        disconnect(c);
    sourceConnections_.clear();
    source_ = model;
    connectSource();
    rebuildFromSource();
    endResetModel();
}

void GridViewModel::connectSource() {
    if (!source_)
        return;
    QAbstractItemModel *m = source_;
    auto &c = sourceConnections_;
    c << connect(m, &QAbstractItemModel::modelAboutToBeReset, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::modelReset, this, [this] { endSourceChange(true); });
    // Any other change of the row or column set re-reads the rows as a reset would.
    c << connect(m, &QAbstractItemModel::rowsAboutToBeInserted, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::rowsInserted, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::rowsAboutToBeRemoved, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::rowsRemoved, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::rowsAboutToBeMoved, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::rowsMoved, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::columnsAboutToBeInserted, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::columnsInserted, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::columnsAboutToBeRemoved, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::columnsRemoved, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::layoutAboutToBeChanged, this, &GridViewModel::beginSourceChange);
    c << connect(m, &QAbstractItemModel::layoutChanged, this, [this] { endSourceChange(true); });
    c << connect(m, &QAbstractItemModel::dataChanged, this, [this] {
        beginSourceChange();
        endSourceChange(false);
    });
    c << connect(m, &QAbstractItemModel::headerDataChanged, this, [this] {
        if (!columns_.isEmpty())
            emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
    });
    c << connect(m, &QObject::destroyed, this, [this] {
        beginResetModel();
        sourceConnections_.clear();
        rebuildFromSource();
        endResetModel();
        emit sourceRowsReset();
    });
}

void GridViewModel::beginSourceChange() {
    if (sourceChanging_)
        return;
    sourceChanging_ = true;
    beginResetModel();
}

void GridViewModel::endSourceChange(bool rowsChanged) {
    if (!sourceChanging_)
        beginResetModel();
    rebuildFromSource();
    sourceChanging_ = false;
    endResetModel();
    if (rowsChanged)
        emit sourceRowsReset();
    else
        emit sourceValuesChanged();
}

void GridViewModel::setColumns(const QList<GridColumn> &columns) {
    beginResetModel();
    columns_ = columns;
    formatters_.clear();
    for (const GridColumn &c : columns_)
        formatters_.emplace_back(c);
    filters_ = QStringList(columns_.size());
    foldedFilters_ = QStringList(columns_.size());
    sort_.clear();
    groupBy_.clear();
    expandedPaths_.clear();
    rebuildFromSource();
    endResetModel();
}

QString GridViewModel::columnCaption(int column) const {
    if (column < 0 || column >= columns_.size())
        return {};
    const GridColumn &c = columns_[column];
    if (!c.caption.isEmpty() || !source_)
        return c.caption;
    return source_->headerData(c.sourceColumn, Qt::Horizontal, Qt::DisplayRole).toString();
}

void GridViewModel::rebuildFromSource() {
    sourceRows_ = source_ ? source_->rowCount() : 0;
    texts_.clear();
    texts_.resize(std::size_t(columns_.size()));
    keys_.clear();
    keys_.resize(std::size_t(columns_.size()));
    passes_.assign(std::size_t(sourceRows_), 1);
    refilter(-1, FilterChange::Other);
    resort();
    collectFiltered();
    buildGroups();
    buildItems();
}

bool GridViewModel::setFilterText(int column, const QString &text) {
    if (column < 0 || column >= columns_.size() || filters_[column] == text)
        return false;
    const QString folded = text.toCaseFolded();
    const QString old = foldedFilters_[column];
    filters_[column] = text;
    foldedFilters_[column] = folded;
    if (folded == old)
        return false; // same filter, only the case differs
    // Typing a letter more can only remove rows, and only the rows that passed need a look;
    // deleting one can only bring rows back.
    FilterChange change = FilterChange::Other;
    if (folded.contains(old))
        change = FilterChange::Narrower;
    else if (old.contains(folded))
        change = FilterChange::Wider;
    beginResetModel();
    refilter(column, change);
    collectFiltered();
    buildGroups();
    buildItems();
    endResetModel();
    return true;
}

QString GridViewModel::filterText(int column) const {
    return column >= 0 && column < filters_.size() ? filters_[column] : QString();
}

void GridViewModel::setSortColumns(const QList<SortColumn> &columns) {
    if (columns == sort_)
        return;
    beginResetModel();
    sort_ = columns;
    resort();
    collectFiltered();
    buildGroups();
    buildItems();
    endResetModel();
}

void GridViewModel::setGroupColumns(const QList<SortColumn> &columns) {
    if (columns == groupBy_)
        return;
    beginResetModel();
    groupBy_ = columns;
    resort();
    collectFiltered();
    buildGroups();
    buildItems();
    endResetModel();
}

const FoldedTextColumn &GridViewModel::texts(int column) {
    auto &slot = texts_[std::size_t(column)];
    if (!slot) {
        slot = std::make_unique<FoldedTextColumn>();
        slot->reserve(sourceRows_, 24);
        for (int r = 0; r < sourceRows_; ++r)
            slot->append(displayText(r, column));
    }
    return *slot;
}

const SortKeyColumn &GridViewModel::keys(int column) {
    auto &slot = keys_[std::size_t(column)];
    if (!slot) {
        slot = std::make_unique<SortKeyColumn>();
        slot->reserve(sourceRows_);
        for (int r = 0; r < sourceRows_; ++r)
            slot->append(value(r, column), collator_);
    }
    return *slot;
}

bool GridViewModel::passesAll(int sourceRow) const {
    for (int c = 0; c < foldedFilters_.size(); ++c)
        if (!foldedFilters_[c].isEmpty() && !texts_[std::size_t(c)]->contains(sourceRow, foldedFilters_[c]))
            return false;
    return true;
}

void GridViewModel::refilter(int column, FilterChange change) {
    for (int c = 0; c < foldedFilters_.size(); ++c)
        if (!foldedFilters_[c].isEmpty())
            texts(c); // build the texts the filter will read
    const int n = sourceRows_;
    switch (change) {
    case FilterChange::Narrower: {
        const QString needle = foldedFilters_[column];
        const FoldedTextColumn &t = texts(column);
        for (int r = 0; r < n; ++r)
            if (passes_[std::size_t(r)])
                passes_[std::size_t(r)] = t.contains(r, needle);
        break;
    }
    case FilterChange::Wider:
        for (int r = 0; r < n; ++r)
            if (!passes_[std::size_t(r)])
                passes_[std::size_t(r)] = passesAll(r);
        break;
    case FilterChange::Other:
        for (int r = 0; r < n; ++r)
            passes_[std::size_t(r)] = passesAll(r);
        break;
    }
}

void GridViewModel::resort() {
    order_.resize(std::size_t(sourceRows_));
    std::iota(order_.begin(), order_.end(), 0);
    struct Key {
        const SortKeyColumn *keys;
        bool descending;
    };
    std::vector<Key> chain;
    for (const auto *list : {&groupBy_, &sort_})
        for (const SortColumn &s : *list)
            if (s.column >= 0 && s.column < columns_.size())
                chain.push_back({&keys(s.column), s.order == Qt::DescendingOrder});
    if (!chain.empty()) {
        // Stable: rows with equal keys keep the data's own order.
        std::stable_sort(order_.begin(), order_.end(), [&chain](int a, int b) {
            for (const Key &k : chain) {
                const int c = k.keys->compare(a, b);
                if (c != 0)
                    return k.descending ? c > 0 : c < 0;
            }
            return false;
        });
    }
    orderIndex_.resize(std::size_t(sourceRows_));
    for (int i = 0; i < sourceRows_; ++i)
        orderIndex_[std::size_t(order_[std::size_t(i)])] = i;
}

void GridViewModel::collectFiltered() {
    filtered_.clear();
    position_.assign(std::size_t(sourceRows_), -1);
    for (int r : order_) {
        if (passes_[std::size_t(r)]) {
            position_[std::size_t(r)] = int(filtered_.size());
            filtered_.push_back(r);
        }
    }
}

QString GridViewModel::groupSegment(int level, int sourceRow) const {
    const int column = groupBy_[level].column;
    const SortKeyColumn &k = *keys_[std::size_t(column)];
    const QString value = k.isNull(sourceRow) ? QStringLiteral("\x01")
                                              : displayText(sourceRow, column).toCaseFolded();
    return QString::number(column) + QLatin1Char('\x1f') + value + QLatin1Char('\x1e');
}

void GridViewModel::buildGroups() {
    groups_.clear();
    leafGroup_.clear();
    std::vector<const SortKeyColumn *> levelKeys;
    for (const SortColumn &s : groupBy_)
        if (s.column >= 0 && s.column < columns_.size())
            levelKeys.push_back(keys_[std::size_t(s.column)].get());
    const int levels = int(levelKeys.size());
    if (levels == 0)
        return;
    const int m = int(filtered_.size());
    leafGroup_.assign(std::size_t(m), -1);
    std::vector<int> open(std::size_t(levels), -1);
    for (int p = 0; p < m; ++p) {
        const int r = filtered_[std::size_t(p)];
        int from = 0;
        if (p > 0) {
            const int prev = filtered_[std::size_t(p - 1)];
            from = levels;
            for (int l = 0; l < levels; ++l) {
                if (levelKeys[std::size_t(l)]->compare(prev, r) != 0) {
                    from = l;
                    break;
                }
            }
        }
        for (int l = from; l < levels; ++l) {
            Group g;
            g.level = l;
            g.parent = l > 0 ? open[std::size_t(l - 1)] : -1;
            g.first = p;
            g.path = (g.parent >= 0 ? groups_[std::size_t(g.parent)].path : QString()) + groupSegment(l, r);
            g.expanded = expandedPaths_.contains(g.path);
            open[std::size_t(l)] = int(groups_.size());
            groups_.push_back(std::move(g));
        }
        for (int l = 0; l < levels; ++l)
            ++groups_[std::size_t(open[std::size_t(l)])].count;
        leafGroup_[std::size_t(p)] = open[std::size_t(levels - 1)];
    }
    // Groups are listed parent before children: a group's subtree ends at the next group of
    // its level or an outer one.
    std::vector<int> stack;
    for (int i = 0; i < int(groups_.size()); ++i) {
        while (!stack.empty() && groups_[std::size_t(stack.back())].level >= groups_[std::size_t(i)].level) {
            groups_[std::size_t(stack.back())].end = i;
            stack.pop_back();
        }
        stack.push_back(i);
    }
    for (int i : stack)
        groups_[std::size_t(i)].end = int(groups_.size());
}

void GridViewModel::buildItems() {
    items_.clear();
    rowOfSource_.assign(std::size_t(sourceRows_), -1);
    if (groups_.empty()) {
        items_ = filtered_;
    } else {
        const int innermost = int(groupBy_.size()) - 1;
        items_.reserve(filtered_.size() + groups_.size());
        int g = 0;
        while (g < int(groups_.size())) {
            Group &group = groups_[std::size_t(g)];
            group.row = int(items_.size());
            items_.push_back(-(g + 1));
            if (!group.expanded) {
                for (int h = g + 1; h < group.end; ++h)
                    groups_[std::size_t(h)].row = -1;
                g = group.end;
                continue;
            }
            if (group.level == innermost)
                items_.insert(items_.end(), filtered_.begin() + group.first,
                              filtered_.begin() + group.first + group.count);
            ++g;
        }
    }
    for (int i = 0; i < int(items_.size()); ++i)
        if (items_[std::size_t(i)] >= 0)
            rowOfSource_[std::size_t(items_[std::size_t(i)])] = i;
}

int GridViewModel::sourceRowAt(int row) const {
    if (row < 0 || row >= int(items_.size()))
        return -1;
    return std::max(items_[std::size_t(row)], -1);
}

int GridViewModel::groupAt(int row) const {
    if (row < 0 || row >= int(items_.size()) || items_[std::size_t(row)] >= 0)
        return -1;
    return -items_[std::size_t(row)] - 1;
}

int GridViewModel::rowOfSourceRow(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= sourceRows_)
        return -1;
    return rowOfSource_[std::size_t(sourceRow)];
}

int GridViewModel::rowShowing(int sourceRow) const {
    const int own = rowOfSourceRow(sourceRow);
    if (own >= 0)
        return own;
    const int p = filteredPosition(sourceRow);
    if (p < 0 || leafGroup_.empty())
        return -1;
    int outermostCollapsed = -1;
    for (int g = leafGroup_[std::size_t(p)]; g >= 0; g = groups_[std::size_t(g)].parent)
        if (!groups_[std::size_t(g)].expanded)
            outermostCollapsed = g;
    return outermostCollapsed >= 0 ? groups_[std::size_t(outermostCollapsed)].row : -1;
}

QString GridViewModel::groupText(int group) const {
    const Group &g = groups_[std::size_t(group)];
    const int column = groupBy_[g.level].column;
    return QStringLiteral("%1 : %2 (%3)")
        .arg(columnCaption(column), displayText(filtered_[std::size_t(g.first)], column))
        .arg(g.count);
}

void GridViewModel::setGroupExpanded(int group, bool expanded) {
    if (group < 0 || group >= int(groups_.size()) || groups_[std::size_t(group)].expanded == expanded)
        return;
    beginResetModel();
    Group &g = groups_[std::size_t(group)];
    g.expanded = expanded;
    if (expanded)
        expandedPaths_.insert(g.path);
    else
        expandedPaths_.remove(g.path);
    buildItems();
    endResetModel();
}

void GridViewModel::setAllGroupsExpanded(bool expanded) {
    if (groups_.empty())
        return;
    beginResetModel();
    for (Group &g : groups_) {
        g.expanded = expanded;
        if (expanded)
            expandedPaths_.insert(g.path);
    }
    if (!expanded)
        expandedPaths_.clear();
    buildItems();
    endResetModel();
}

bool GridViewModel::revealSourceRow(int sourceRow) {
    const int p = filteredPosition(sourceRow);
    if (p < 0 || leafGroup_.empty())
        return false;
    std::vector<int> collapsed;
    for (int g = leafGroup_[std::size_t(p)]; g >= 0; g = groups_[std::size_t(g)].parent)
        if (!groups_[std::size_t(g)].expanded)
            collapsed.push_back(g);
    if (collapsed.empty())
        return false;
    beginResetModel();
    for (int g : collapsed) {
        groups_[std::size_t(g)].expanded = true;
        expandedPaths_.insert(groups_[std::size_t(g)].path);
    }
    buildItems();
    endResetModel();
    return true;
}

int GridViewModel::filteredPosition(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= sourceRows_)
        return -1;
    return position_[std::size_t(sourceRow)];
}

int GridViewModel::insertionPosition(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= sourceRows_)
        return 0;
    const int own = position_[std::size_t(sourceRow)];
    if (own >= 0)
        return own;
    const int at = orderIndex_[std::size_t(sourceRow)];
    const auto it = std::lower_bound(filtered_.begin(), filtered_.end(), at, [this](int row, int index) {
        return orderIndex_[std::size_t(row)] < index;
    });
    return int(it - filtered_.begin());
}

QVariant GridViewModel::value(int sourceRow, int column) const {
    if (!source_ || column < 0 || column >= columns_.size())
        return {};
    const int sc = columns_[column].sourceColumn;
    if (sourceRow < 0 || sourceRow >= sourceRows_ || sc < 0 || sc >= source_->columnCount())
        return {};
    return source_->data(source_->index(sourceRow, sc), Qt::EditRole);
}

QString GridViewModel::displayText(int sourceRow, int column) const {
    if (column < 0 || column >= int(formatters_.size()))
        return {};
    return formatters_[std::size_t(column)].text(value(sourceRow, column));
}

int GridViewModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(items_.size());
}

int GridViewModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant GridViewModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= int(items_.size()) || index.column() >= columns_.size())
        return {};
    const int item = items_[std::size_t(index.row())];
    if (item < 0) {
        const int g = -item - 1;
        switch (role) {
        case Qt::DisplayRole: return groupText(g);
        case SourceRowRole: return -1;
        case GroupRowRole: return true;
        case GroupLevelRole: return groups_[std::size_t(g)].level;
        case GroupExpandedRole: return groups_[std::size_t(g)].expanded;
        default: return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole: return displayText(item, index.column());
    case Qt::EditRole: return value(item, index.column());
    case Qt::ToolTipRole:
        // A memo cell shows one line; its tip holds the text as written.
        if (columns_[index.column()].kind == DisplayKind::Memo) {
            const QVariant v = value(item, index.column());
            if (v.isValid() && !v.toString().isEmpty())
                return v.toString();
        }
        return {};
    case SourceRowRole: return item;
    case GroupRowRole: return false;
    default: return {};
    }
}

QVariant GridViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnCaption(section);
    return {};
}

Qt::ItemFlags GridViewModel::flags(const QModelIndex &index) const {
    // The grid only shows the data: no cell is ever editable.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace wik::grid
