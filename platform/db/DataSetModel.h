#pragma once
// A table model over a data set, for views: one column per field of the data set, rows read
// straight from the data set (nothing copied). Never editable. It follows the data set's
// resets (open, refresh, close) and saved rows, and ties its current row to the data set's in
// both directions.
#include <QAbstractTableModel>

namespace wik::db {

class PgQuery;

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The field kind (wik::db::FieldKind as int) of a cell's column.
    static constexpr int FieldKindRole = Qt::UserRole + 1;

    explicit DataSetModel(PgQuery *dataSet, QObject *parent = nullptr);
    ~DataSetModel() override;

    PgQuery *dataSet() const { return dataSet_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // DisplayRole: the field kind's default text; EditRole: the typed value (QString, QDate,
    // QDateTime, bool, qlonglong, double; invalid for NULL); FieldKindRole.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Horizontal captions are the field names.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The data set's current row (-1 when there is none); setting it moves the data set.
    int currentRow() const;
    void setCurrentRow(int row);

signals:
    void currentRowChanged(int row);

private:
    PgQuery *dataSet_;
    int columns_ = 0;
};

} // namespace wik::db
