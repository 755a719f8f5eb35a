#pragma once
// A data set over the result of one query: named parameters, declared fields checked at open,
// a current row, refresh that keeps the current row by its key, and edit/post that writes only
// the assigned columns of the current row back to one table.
//
// The rows are kept in their wire text (RowSet) and a value is converted only when someone
// reads it; values saved by Post are kept beside them.
//
// Errors of this layer (as the operator may read them):
//   "Cannot modify a read-only dataset"                        Edit while ReadOnly
//   "Cannot perform this operation on a closed dataset"       Edit, Refresh, Post when closed
//   "Cannot perform this operation on an open dataset"        changing the fields while open
//   "Dataset not in edit mode : <field>"                       assignment outside Edit
//   "No current record : <data set>"                           Edit without rows
//   "Field not found : <field>"                                 a declared field missing from the
//                                                               result at open, or FieldByName
//   "Type mismatch for field : <field>, expecting: <kind> actual: <type>"   at open
//   "Field cannot be modified : <field>"                        assigning a read-only field
//   "Invalid value for field : <field>"                         a value that is not of its kind
//   "Record not found : <table> <key>=<value>"                  Post to a row no longer there
//   "No key fields : <data set>", "No update table : <data set>"  Post without those settings
//   "Connection not assigned : <data set>"
#include "Field.h"
#include "FieldDef.h"
#include "PgConnection.h"
#include "RowSet.h"
#include "SqlStatement.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace wik::db {

enum class DataSetState { Inactive, Browse, Edit };

class PgQuery : public QObject {
    Q_OBJECT
public:
    explicit PgQuery(QObject *parent = nullptr);
    ~PgQuery() override;

    void setConnection(PgConnection *connection); // closes an open data set
    PgConnection *connection() const { return connection_; }

    // Closes an open data set; parameters the new text still names keep their values.
    void setSql(const QString &sql);
    const QString &sql() const { return statement_.sql(); }
    Param &ParamByName(const QString &name) { return statement_.byName(name); }
    SqlStatement &params() { return statement_; }

    // Declared fields (only while closed). A data set that declares none gets one field per
    // result column, of the column type's default kind, for as long as it is open.
    void addField(const FieldDef &def);
    void clearFields();
    int fieldCount() const { return int(fields_.size()); }
    const FieldDef &fieldDef(int i) const { return fields_[i]; }
    int fieldIndex(const QString &name) const; // -1 when there is none
    Field FieldByName(const QString &name);    // raises "Field not found : <name>"
    Field Fields(int i) { return Field(this, i); }

    // The key of a row (field names separated by ";" or ","): Refresh finds the current row
    // again by it, Post addresses the table's row by it.
    void setKeyFields(const QString &names);
    QString keyFields() const { return keyNames_.join(u';'); }
    // The table Post writes to.
    void setUpdateTable(const QString &table) { updateTable_ = table; }
    const QString &updateTable() const { return updateTable_; }

    bool Active() const { return rows_ != nullptr; }
    // Runs the query with the current parameters. Nothing happens when it is open already. A
    // failure (server error, a declared field missing or of another type) leaves it closed.
    void Open();
    void Close();
    // Runs the query again with the current parameters. The row with the same key stays the
    // current row while it is listed, else the first row is current. A failure leaves the rows
    // read before in place. A pending edit is posted first.
    void Refresh();
    int RecordCount() const { return rowCount_; }
    bool IsEmpty() const { return rowCount_ == 0; }

    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Current row: 0-based, -1 when there is none. Moving while editing posts first.
    int RecNo() const { return recNo_; }
    void setRecNo(int row);
    void First();
    void Next(); // at the last row it stays there and Eof() turns true
    void Prior();
    void Last();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }

    // Editing the current row.
    void Edit();
    // Writes the assigned columns (NULL included) with one UPDATE of the update table addressed
    // by the row's key, then shows the saved values. Raises, and stays in edit state, when the
    // row is no longer in the table. With nothing assigned nothing is written.
    void Post();
    void Cancel();
    DataSetState State() const;

    // Reads of any row, for models and views (row in [0, RecordCount())); the current row in
    // edit state shows its assigned values.
    bool isNull(int row, int field) const;
    QString displayText(int row, int field) const;
    QVariant value(int row, int field) const;

signals:
    void aboutToReset();          // before the rows are replaced or dropped
    void reset();                 // after open, close and refresh
    void currentRowChanged(int row);
    void rowChanged(int row);     // a row's values changed (after Post)
    void stateChanged(wik::db::DataSetState state);

private:
    friend class Field;

    struct Cell {
        const char *data = nullptr;
        int length = 0;
        bool null = true;
    };
    // An assigned value: its wire text, or nothing for NULL.
    struct Assigned {
        int field;
        std::optional<QByteArray> text;
    };

    std::unique_ptr<RowSet> runQuery();
    std::vector<int> bindColumns(const RowSet &rows, std::vector<FieldDef> *autoFields) const;
    void install(std::unique_ptr<RowSet> rows, std::vector<int> columns,
                 std::vector<FieldDef> autoFields, int current);
    Cell cell(int row, int field, bool withPending = true) const;
    void checkActive() const;
    void checkBrowseMode();
    void moveTo(int row, bool eof, bool bof);
    void checkAssignable(int field) const;
    void assign(int field, std::optional<QByteArray> text);
    int requireField(int field) const;
    std::vector<int> keyFieldIndexes() const;
    std::vector<std::optional<QByteArray>> rowKey(int row, const std::vector<int> &keys) const;

    PgConnection *connection_ = nullptr;
    SqlStatement statement_;
    std::vector<FieldDef> fields_;     // declared, then (while open) the automatic ones
    int declaredCount_ = 0;
    QHash<QString, int> fieldByName_;  // lower-case name -> field number
    QStringList keyNames_;
    QString updateTable_;
    bool readOnly_ = false;

    std::unique_ptr<RowSet> rows_;
    int rowCount_ = 0;
    std::vector<int> columnOf_;        // field number -> result column
    std::unordered_map<int, std::vector<Assigned>> saved_; // row -> values saved by Post
    int recNo_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool editing_ = false;
    std::vector<Assigned> pending_;    // assignments of the current edit
};

} // namespace wik::db

Q_DECLARE_METATYPE(wik::db::DataSetState)
