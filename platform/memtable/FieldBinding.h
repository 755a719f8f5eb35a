#pragma once
// Binds a text box both ways to one field of the current row of a memory table. The box shows the
// row's value (empty for NULL, for no row and for a closed table); every change of the box's text
// is written into the row at once, and the first change while an open table has no row adds the
// row. Changes of a closed table's box are not stored anywhere.
#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;

namespace wik {

class MemTable;

class FieldBinding : public QObject {
    Q_OBJECT
public:
    // The binding belongs to the box unless a parent is given. The box's length limit becomes
    // the field's size, so that it never holds more than the field can keep.
    FieldBinding(QLineEdit *edit, MemTable *table, const QString &field, QObject *parent = nullptr);

    QLineEdit *edit() const;
    MemTable *table() const;
    int field() const noexcept { return field_; }

    // Shows the table's value in the box.
    void refresh();

private:
    void store(const QString &text);

    QPointer<QLineEdit> edit_;
    QPointer<MemTable> table_;
    int field_;
    // Set while one direction is running, so that the other does not answer it.
    bool showing_ = false;
    bool storing_ = false;
};

} // namespace wik
