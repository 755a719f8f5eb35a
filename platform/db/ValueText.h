#pragma once
// Conversions between the text form in which PostgreSQL sends and receives values (DateStyle
// ISO, client encoding UTF-8) and the values and display texts of the field kinds. Values are
// kept in their wire text and converted only when someone asks for them.
#include "FieldDef.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <optional>

namespace wik::db::valuetext {

// "YYYY-MM-DD"; false for anything else (infinity, BC dates).
bool parseDate(const char *text, int len, QDate &date);
// "YYYY-MM-DD HH:MM:SS[.ffffff]"; fractions beyond milliseconds are cut.
bool parseTimestamp(const char *text, int len, QDate &date, QTime &time);

// The typed value of a non-NULL wire text: QString (text kinds; a GUID in braces), qlonglong,
// double, bool, QDate, QDateTime (local, the wall-clock value unchanged). A text that does not
// parse as its kind (an infinite date, say) is returned as its QString.
QVariant toValue(FieldKind kind, const char *text, int len);

// The default display text of a non-NULL wire text: text as is, a GUID in braces, numbers and
// dates in the workstation's regional formats, booleans "True"/"False". A date-time shows the
// short date, and the long time after a space unless the time is exactly midnight.
QString toDisplay(FieldKind kind, const char *text, int len);

// The wire text of a value for a column or parameter of `kind`; nothing when the value cannot
// be one (a word for a number, an invalid date). The value must not be NULL.
std::optional<QByteArray> toWire(FieldKind kind, const QVariant &value);

// The workstation's regional date-time text: short date, a space and the long time; the time
// is left out when it is exactly midnight.
QString regionalDateTime(const QDate &date, const QTime &time);
QString regionalDate(const QDate &date);

} // namespace wik::db::valuetext
