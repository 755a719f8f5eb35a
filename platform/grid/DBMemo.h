#pragma once
// A memo that shows one column of the current row of a model: empty for NULL, following the
// current row and the row's changes. It only shows: nothing typed here reaches the data.
#include <QPlainTextEdit>
#include <QPointer>

class QAbstractItemModel;

namespace wik::grid {

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model);
    QAbstractItemModel *model() const { return model_; }
    void setDataColumn(int column);
    // The column whose header caption is fieldName, found again after each reset.
    void setDataField(const QString &fieldName);
    int dataColumn() const { return column_; }
    int currentRow() const { return row_; }

public slots:
    void setCurrentRow(int row);
    void refresh();

private:
    void resolveField();

    QPointer<QAbstractItemModel> model_;
    QList<QMetaObject::Connection> connections_;
    QString field_;
    int column_ = -1;
    int row_ = -1;
};

} // namespace wik::grid
