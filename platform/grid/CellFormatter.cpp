#include "CellFormatter.h"

#include <QDate>
#include <QDateTime>

namespace wik::grid {

namespace {

// A memo cell shows its whole text on one line: each line break becomes one space.
QString oneLine(QString text) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

QDateTime asDateTime(const QVariant &value) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    return value.toDateTime();
}

QDate asDate(const QVariant &value) {
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return value.toDate();
}

} // namespace

CellFormatter::CellFormatter(const GridColumn &column)
    : kind_(column.kind), dateTimeFormat_(column.displayFormat) {}

QString CellFormatter::text(const QVariant &value) const {
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind_) {
    case DisplayKind::PlainText:
        return value.toString();
    case DisplayKind::Memo:
        return oneLine(value.toString());
    case DisplayKind::ShortDate: {
        const QDate d = asDate(value);
        return d.isValid() ? locale_.toString(d, QLocale::ShortFormat) : value.toString();
    }
    case DisplayKind::DateTime: {
        const QDateTime dt = asDateTime(value);
        if (!dt.isValid())
            return value.toString();
        return dateTimeFormat_.isEmpty() ? locale_.toString(dt, QLocale::ShortFormat)
                                         : dateTimeFormat_.format(dt);
    }
    }
    return value.toString();
}

} // namespace wik::grid
