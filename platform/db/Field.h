#pragma once
// A field of a data set's current row: a small accessor (data set + field number) that reads
// the value when asked. With no current row (a closed or empty data set) every field is NULL.
#include "FieldDef.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace wik::db {

class PgQuery;

class Field {
public:
    Field(PgQuery *dataSet, int index) : dataSet_(dataSet), index_(index) {}

    const FieldDef &def() const;
    const QString &name() const { return def().name; }
    FieldKind kind() const { return def().kind; }
    int index() const { return index_; }

    bool IsNull() const;
    // The default display text: a GUID as the lower-case UUID in braces, dates in the regional
    // short date format, date-times as short date and long time (no time at midnight), booleans
    // "True"/"False"; NULL gives "".
    QString AsString() const;
    QDate AsDate() const;
    QDateTime AsDateTime() const;
    qlonglong AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    // The typed value (QString, qlonglong, double, bool, QDate, QDateTime); invalid for NULL.
    QVariant Value() const;

    // Assignment while the data set is in edit state; an invalid QVariant is NULL.
    void SetValue(const QVariant &value);
    void SetNull();

private:
    PgQuery *dataSet_;
    int index_;
};

} // namespace wik::db
