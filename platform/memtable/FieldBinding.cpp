#include "FieldBinding.h"

#include "MemTable.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace wik {

FieldBinding::FieldBinding(QLineEdit *edit, MemTable *table, const QString &field, QObject *parent)
    : QObject(parent ? parent : edit), edit_(edit), table_(table),
      field_(table->fieldIndexOrThrow(field)) {
    const int size = table->fields()[field_].size;
    if (size > 0)
        edit->setMaxLength(size);
    connect(table, &MemTable::stateChanged, this, &FieldBinding::refresh);
    connect(table, &MemTable::valueChanged, this, [this](int row, int changed) {
        if (changed == field_ && table_ && row == table_->currentRow())
            refresh();
    });
    connect(edit, &QLineEdit::textChanged, this, &FieldBinding::store);
    refresh();
}

QLineEdit *FieldBinding::edit() const {
    return edit_;
}

MemTable *FieldBinding::table() const {
    return table_;
}

void FieldBinding::refresh() {
    if (!edit_ || !table_ || storing_)
        return;
    const QString shown = table_->value(field_).value_or(QString());
    if (edit_->text() == shown)
        return; // setting the same text would still move the cursor and clear the undo history
    const QScopedValueRollback showing(showing_, true);
    edit_->setText(shown);
}

void FieldBinding::store(const QString &text) {
    if (!table_ || showing_ || !table_->isActive())
        return;
    const QScopedValueRollback storing(storing_, true);
    // The table raises nothing here: the row exists once appended and the box's length limit
    // keeps the text within the field's size (left() guards a limit changed after binding).
    if (table_->currentRow() < 0)
        table_->append();
    const int size = table_->fields()[field_].size;
    table_->setValue(field_, size > 0 ? text.left(size) : text);
}

} // namespace wik
