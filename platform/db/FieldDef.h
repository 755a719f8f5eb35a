#pragma once
// Declared fields of a data set: the columns a query promises to return, by name and kind.
// Opening a data set checks every declared field against the result by name; the PostgreSQL
// types each kind accepts are listed in one table (FieldDef.cpp).
#include <QString>

#include <libpq-fe.h>

namespace wik::db {

enum class FieldKind {
    String,     // character column of bounded length
    WideString, // the same, Unicode (every text is Unicode here)
    Memo,       // unbounded text
    WideMemo,
    Guid,       // uuid; its text is the lower-case UUID in braces
    Integer,    // 32-bit
    SmallInt,   // 16-bit
    LargeInt,   // 64-bit
    Float,      // double precision
    Boolean,
    Date,       // date without time
    DateTime,   // timestamp without time zone
};

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::WideString;
    int size = 0;          // characters, for the string kinds (informative: not checked)
    bool required = false; // the column is declared not null (informative: not checked)
    bool readOnly = false; // the field cannot be assigned (computed columns)
};

// The kind's name, for messages ("WideMemo", "DateTime", ...).
const char *fieldKindName(FieldKind kind);

// Whether a result column of type `typeOid` can be read through a field of `kind`.
bool isCompatible(FieldKind kind, Oid typeOid);
// The kind a column of this type gets when a data set declares no fields of its own.
FieldKind defaultKindFor(Oid typeOid);
// The type's name for messages ("text", "int4", or the number for types not in the table).
QString typeName(Oid typeOid);

// Type OIDs this layer refers to by name (fixed in every PostgreSQL catalog).
namespace pgtype {
inline constexpr Oid Bool = 16;
inline constexpr Oid Name = 19;
inline constexpr Oid Int8 = 20;
inline constexpr Oid Int2 = 21;
inline constexpr Oid Int4 = 23;
inline constexpr Oid Text = 25;
inline constexpr Oid Json = 114;
inline constexpr Oid Xml = 142;
inline constexpr Oid Float4 = 700;
inline constexpr Oid Float8 = 701;
inline constexpr Oid Bpchar = 1042;
inline constexpr Oid Varchar = 1043;
inline constexpr Oid Date = 1082;
inline constexpr Oid Timestamp = 1114;
inline constexpr Oid Numeric = 1700;
inline constexpr Oid Uuid = 2950;
inline constexpr Oid Jsonb = 3802;
} // namespace pgtype

} // namespace wik::db
