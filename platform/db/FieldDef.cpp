#include "FieldDef.h"

#include <initializer_list>

namespace wik::db {

namespace {

constexpr unsigned bit(FieldKind k) { return 1u << static_cast<unsigned>(k); }
constexpr unsigned bits(std::initializer_list<FieldKind> kinds) {
    unsigned b = 0;
    for (FieldKind k : kinds)
        b |= bit(k);
    return b;
}

constexpr unsigned anyText = bits({FieldKind::String, FieldKind::WideString, FieldKind::Memo,
                                   FieldKind::WideMemo});

struct TypeRow {
    Oid oid;
    const char *name;
    FieldKind defaultKind;
    unsigned compatible; // the kinds that may read a column of this type
};

// Which PostgreSQL types each field kind reads. Every textual type may be read by every text
// kind: whether the ERP declares a column varchar(n) or text is its own business, and a field
// reads the text either way. Numbers may be read by a kind at least as wide; dates and
// timestamps only by their own kind (no silent dropping of a time, no time zone conversion).
constexpr TypeRow typeTable[] = {
    {pgtype::Varchar, "varchar", FieldKind::WideString, anyText},
    {pgtype::Bpchar, "bpchar", FieldKind::WideString, anyText},
    {pgtype::Name, "name", FieldKind::WideString, anyText},
    {pgtype::Text, "text", FieldKind::WideMemo, anyText},
    {pgtype::Json, "json", FieldKind::WideMemo, anyText},
    {pgtype::Jsonb, "jsonb", FieldKind::WideMemo, anyText},
    {pgtype::Xml, "xml", FieldKind::WideMemo, anyText},
    {pgtype::Uuid, "uuid", FieldKind::Guid, bit(FieldKind::Guid)},
    {pgtype::Int2, "int2", FieldKind::SmallInt,
     bits({FieldKind::SmallInt, FieldKind::Integer, FieldKind::LargeInt, FieldKind::Float})},
    {pgtype::Int4, "int4", FieldKind::Integer,
     bits({FieldKind::Integer, FieldKind::LargeInt, FieldKind::Float})},
    {pgtype::Int8, "int8", FieldKind::LargeInt, bits({FieldKind::LargeInt, FieldKind::Float})},
    {pgtype::Float4, "float4", FieldKind::Float, bit(FieldKind::Float)},
    {pgtype::Float8, "float8", FieldKind::Float, bit(FieldKind::Float)},
    {pgtype::Numeric, "numeric", FieldKind::Float, bit(FieldKind::Float)},
    {pgtype::Bool, "bool", FieldKind::Boolean, bit(FieldKind::Boolean)},
    {pgtype::Date, "date", FieldKind::Date, bit(FieldKind::Date)},
    {pgtype::Timestamp, "timestamp", FieldKind::DateTime, bit(FieldKind::DateTime)},
};

const TypeRow *findType(Oid oid) {
    for (const TypeRow &row : typeTable)
        if (row.oid == oid)
            return &row;
    return nullptr;
}

} // namespace

const char *fieldKindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::String: return "String";
    case FieldKind::WideString: return "WideString";
    case FieldKind::Memo: return "Memo";
    case FieldKind::WideMemo: return "WideMemo";
    case FieldKind::Guid: return "Guid";
    case FieldKind::Integer: return "Integer";
    case FieldKind::SmallInt: return "SmallInt";
    case FieldKind::LargeInt: return "LargeInt";
    case FieldKind::Float: return "Float";
    case FieldKind::Boolean: return "Boolean";
    case FieldKind::Date: return "Date";
    case FieldKind::DateTime: return "DateTime";
    }
    return "?";
}

bool isCompatible(FieldKind kind, Oid typeOid) {
    const TypeRow *row = findType(typeOid);
    return row && (row->compatible & bit(kind)) != 0;
}

FieldKind defaultKindFor(Oid typeOid) {
    // A type this layer does not know is read as its text.
    const TypeRow *row = findType(typeOid);
    return row ? row->defaultKind : FieldKind::WideMemo;
}

QString typeName(Oid typeOid) {
    const TypeRow *row = findType(typeOid);
    return row ? QString::fromLatin1(row->name) : QStringLiteral("type %1").arg(typeOid);
}

} // namespace wik::db
