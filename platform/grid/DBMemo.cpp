#include "DBMemo.h"

#include <QAbstractItemModel>

namespace wik::grid {

DBMemo::DBMemo(QWidget *parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void DBMemo::setModel(QAbstractItemModel *model) {
    for (const auto &c : connections_)
        disconnect(c);
    connections_.clear();
    model_ = model;
    if (model) {
        connections_ << connect(model, &QAbstractItemModel::modelReset, this, [this] {
            resolveField();
            refresh();
        });
        connections_ << connect(model, &QAbstractItemModel::dataChanged, this,
                                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                                    if (row_ >= topLeft.row() && row_ <= bottomRight.row())
                                        refresh();
                                });
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connections_ << connect(model, signal, this, &DBMemo::refresh);
        connections_ << connect(model, &QAbstractItemModel::layoutChanged, this, &DBMemo::refresh);
    }
    resolveField();
    refresh();
}

void DBMemo::setDataColumn(int column) {
    field_.clear();
    column_ = column;
    refresh();
}

void DBMemo::setDataField(const QString &fieldName) {
    field_ = fieldName;
    resolveField();
    refresh();
}

void DBMemo::resolveField() {
    if (field_.isEmpty() || !model_)
        return;
    column_ = -1;
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == field_) {
            column_ = c;
            break;
        }
    }
}

void DBMemo::setCurrentRow(int row) {
    row_ = row;
    refresh();
}

void DBMemo::refresh() {
    QString text;
    if (model_ && row_ >= 0 && row_ < model_->rowCount() && column_ >= 0 && column_ < model_->columnCount()) {
        const QVariant v = model_->data(model_->index(row_, column_), Qt::EditRole);
        if (v.isValid() && !v.isNull())
            text = v.toString();
    }
    if (text != toPlainText())
        setPlainText(text);
}

} // namespace wik::grid
