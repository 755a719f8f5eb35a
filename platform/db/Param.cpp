#include "Param.h"

#include "ValueText.h"

#include "Error.h"

namespace wik::db {

namespace {

// The type a parameter of each kind is sent as. The text kinds go untyped, so that the server
// takes them as whatever the place they stand in needs (varchar, text, a function's argument).
Oid wireType(std::optional<FieldKind> kind) {
    if (!kind)
        return 0;
    switch (*kind) {
    case FieldKind::String:
    case FieldKind::WideString:
    case FieldKind::Memo:
    case FieldKind::WideMemo: return 0;
    case FieldKind::Guid: return pgtype::Uuid;
    case FieldKind::Integer: return pgtype::Int4;
    case FieldKind::SmallInt: return pgtype::Int2;
    case FieldKind::LargeInt: return pgtype::Int8;
    case FieldKind::Float: return pgtype::Float8;
    case FieldKind::Boolean: return pgtype::Bool;
    case FieldKind::Date: return pgtype::Date;
    case FieldKind::DateTime: return pgtype::Timestamp;
    }
    return 0;
}

} // namespace

void Param::set(FieldKind kind, QVariant v) {
    kind_ = kind;
    value_ = std::move(v);
    bound_ = true;
}

void Param::setAsDate(const QDate &v) {
    set(FieldKind::Date, v.isValid() ? QVariant(v) : QVariant());
}

void Param::setAsDateTime(const QDateTime &v) {
    set(FieldKind::DateTime, v.isValid() ? QVariant(v) : QVariant());
}

void Param::setValue(const QVariant &v) {
    value_ = v;
    bound_ = true;
}

void Param::setNull() {
    value_ = QVariant();
    bound_ = true;
}

void Param::clear() {
    value_ = QVariant();
    kind_.reset();
    bound_ = false;
}

void Param::setDataType(FieldKind kind) { kind_ = kind; }

QDate Param::asDate() const {
    if (isNull())
        return {};
    if (value_.metaType().id() == QMetaType::QDateTime)
        return value_.toDateTime().date();
    return value_.toDate();
}

QDateTime Param::asDateTime() const {
    if (isNull())
        return {};
    if (value_.metaType().id() == QMetaType::QDate)
        return QDateTime(value_.toDate(), QTime(0, 0));
    return value_.toDateTime();
}

WireValue Param::wire() const {
    WireValue w;
    w.type = wireType(kind_);
    if (isNull())
        return w;
    w.text = valuetext::toWire(kind_.value_or(FieldKind::WideMemo), value_);
    if (!w.text)
        throw wik::Error("Invalid value for parameter : " + name_.toStdString());
    return w;
}

} // namespace wik::db
