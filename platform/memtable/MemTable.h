#pragma once
// A table held in memory: declared wide-string fields, the rows its owner adds, a current row,
// and a file in the JSON storage layout it can be saved to and loaded from. The sign-in keeps the
// last company and user name typed in one of these, bound to the login window's text boxes.
#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace wik {

// A field of a memory table: a wide string of at most `size` characters (UTF-16 units).
struct FieldDef {
    QString name;
    int size = 0;
};

// A field's value: a text, or NULL (no value), which is not the same as an empty text.
using FieldValue = std::optional<QString>;

class MemTable : public QObject {
    Q_OBJECT
public:
    explicit MemTable(QString name, QObject *parent = nullptr);

    // The table's name, written into its storage file.
    const QString &name() const noexcept { return name_; }

    // Fields are declared while the table is closed.
    void addField(const QString &name, int size);
    const QList<FieldDef> &fields() const noexcept { return fields_; }
    // The index of a field by its exact name, -1 when the table has no such field.
    int fieldIndex(const QString &name) const;
    // Like fieldIndex, but an unknown name raises an Error.
    int fieldIndexOrThrow(const QString &name) const;

    // A closed table holds no rows; opening starts it empty, closing drops its rows.
    bool isActive() const noexcept { return active_; }
    void setActive(bool active);
    void open() { setActive(true); }
    void close() { setActive(false); }

    int recordCount() const noexcept { return static_cast<int>(rows_.size()); }
    bool isEmpty() const noexcept { return rows_.empty(); }
    // The current row, -1 when there is none (closed or empty table).
    int currentRow() const noexcept { return current_; }
    void setCurrentRow(int row);

    // Adds a row with every field NULL at the end and makes it the current row.
    void append();
    // Removes every row; the table stays open.
    void emptyTable();

    // The current row's values. Without a current row every value reads as NULL; writing one
    // raises an Error. A text longer than the field's size raises an Error and changes nothing.
    FieldValue value(int field) const;
    FieldValue value(const QString &field) const { return value(fieldIndexOrThrow(field)); }
    QString text(const QString &field) const { return value(field).value_or(QString()); }
    bool isNull(const QString &field) const { return !value(field).has_value(); }
    void setValue(int field, const FieldValue &value);
    void setValue(const QString &field, const FieldValue &value) {
        setValue(fieldIndexOrThrow(field), value);
    }
    void setNull(const QString &field) { setValue(field, std::nullopt); }

    // Writes the table to `path` in the JSON storage layout. The file is replaced atomically:
    // a failure part way leaves the previous file as it was. A missing folder is created.
    // Raises an Error with the reason when the file cannot be written.
    void saveToFile(const QString &path) const;
    // Replaces the table's rows with those of the file and opens the table; the first row becomes
    // current. A file that cannot be read or is not of the layout raises an Error; the table is
    // then open and empty, so that what is typed next is saved over the unreadable file.
    void loadFromFile(const QString &path);

signals:
    // The table was opened, closed, loaded or emptied, a row was added, or the current row moved.
    void stateChanged();
    // One value of a row changed.
    void valueChanged(int row, int field);

private:
    using Row = std::vector<FieldValue>;

    void checkFits(int field, const FieldValue &value) const;
    void replaceRows(std::vector<Row> rows);

    QString name_;
    QList<FieldDef> fields_;
    std::vector<Row> rows_;
    bool active_ = false;
    int current_ = -1;
};

} // namespace wik
