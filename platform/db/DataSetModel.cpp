#include "DataSetModel.h"

#include "PgQuery.h"

namespace wik::db {

DataSetModel::DataSetModel(PgQuery *dataSet, QObject *parent)
    : QAbstractTableModel(parent), dataSet_(dataSet) {
    columns_ = dataSet_->fieldCount();
    connect(dataSet_, &PgQuery::aboutToReset, this, [this] { beginResetModel(); });
    connect(dataSet_, &PgQuery::reset, this, [this] {
        // automatic fields come and go with the rows
        columns_ = dataSet_->fieldCount();
        endResetModel();
    });
    connect(dataSet_, &PgQuery::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columns_ > 0)
            emit dataChanged(index(row, 0), index(row, columns_ - 1));
    });
    connect(dataSet_, &PgQuery::currentRowChanged, this, &DataSetModel::currentRowChanged);
}

DataSetModel::~DataSetModel() = default;

int DataSetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : dataSet_->RecordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= dataSet_->RecordCount() || index.column() >= columns_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return dataSet_->displayText(index.row(), index.column());
    case Qt::EditRole:
        return dataSet_->value(index.row(), index.column());
    case FieldKindRole:
        return static_cast<int>(dataSet_->fieldDef(index.column()).kind);
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_)
        return dataSet_->fieldDef(section).name;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int DataSetModel::currentRow() const { return dataSet_->RecNo(); }

void DataSetModel::setCurrentRow(int row) {
    // the data set signals the move, which comes back here as currentRowChanged
    if (row != dataSet_->RecNo())
        dataSet_->setRecNo(row);
}

} // namespace wik::db
