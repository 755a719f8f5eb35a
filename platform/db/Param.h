#pragma once
// One named parameter of a statement. It holds a value and, once a typed setter has been used
// (or setDataType was called), a kind; the kind decides the PostgreSQL type the value is sent
// as. A parameter that was never given a value is sent as NULL.
#include "FieldDef.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <libpq-fe.h>

#include <optional>

namespace wik::db {

// A parameter as it travels to the server: its text (nothing for NULL) and its type (0 lets the
// server infer the type from where the parameter stands).
struct WireValue {
    std::optional<QByteArray> text;
    Oid type = 0;
};

class Param {
public:
    explicit Param(QString name) : name_(std::move(name)) {}

    const QString &name() const { return name_; }

    void setAsString(const QString &v) { set(FieldKind::String, v); }
    void setAsWideString(const QString &v) { set(FieldKind::WideString, v); }
    void setAsMemo(const QString &v) { set(FieldKind::Memo, v); }
    void setAsWideMemo(const QString &v) { set(FieldKind::WideMemo, v); }
    // A GUID given braced ("{...}") or bare; it is sent as a uuid without the braces.
    void setAsGuid(const QString &v) { set(FieldKind::Guid, v); }
    void setAsInteger(qlonglong v) { set(FieldKind::Integer, v); }
    void setAsLargeInt(qlonglong v) { set(FieldKind::LargeInt, v); }
    void setAsFloat(double v) { set(FieldKind::Float, v); }
    void setAsBoolean(bool v) { set(FieldKind::Boolean, v); }
    // An invalid date is NULL.
    void setAsDate(const QDate &v);
    void setAsDateTime(const QDateTime &v);
    // A value of the parameter's current kind (or, untyped, the value's own text).
    void setValue(const QVariant &v);
    // NULL, keeping the kind.
    void setNull();
    // Back to "no value yet": NULL, untyped.
    void clear();

    // The kind the value is sent as; setting it keeps the value.
    void setDataType(FieldKind kind);
    std::optional<FieldKind> dataType() const { return kind_; }

    bool isNull() const { return !value_.isValid() || value_.isNull(); }
    // Whether the parameter has been given a value (NULL included) since it was made or cleared.
    bool isBound() const { return bound_; }

    QVariant value() const { return isNull() ? QVariant() : value_; }
    QString asString() const { return isNull() ? QString() : value_.toString(); }
    QDate asDate() const;
    QDateTime asDateTime() const;
    qlonglong asInteger() const { return value_.toLongLong(); }
    double asFloat() const { return value_.toDouble(); }
    bool asBoolean() const { return value_.toBool(); }

    // The value as it is sent; raises an error naming the parameter when the value cannot be
    // one of its kind.
    WireValue wire() const;

private:
    void set(FieldKind kind, QVariant v);

    QString name_;
    QVariant value_;
    std::optional<FieldKind> kind_;
    bool bound_ = false;
};

} // namespace wik::db
