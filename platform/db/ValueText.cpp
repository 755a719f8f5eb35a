#include "ValueText.h"

#include <QLocale>

#include <charconv>
#include <cstdio>
#include <cmath>

namespace wik::db::valuetext {

namespace {

bool digits(const char *&p, const char *end, int count, int &out) {
    out = 0;
    for (int i = 0; i < count; ++i, ++p) {
        if (p == end || *p < '0' || *p > '9')
            return false;
        out = out * 10 + (*p - '0');
    }
    return true;
}

bool parseDatePart(const char *&p, const char *end, QDate &date) {
    int year = 0, month = 0, day = 0;
    const char *start = p;
    while (p != end && *p >= '0' && *p <= '9' && p - start < 6)
        year = year * 10 + (*p++ - '0');
    if (p - start < 4 || p == end || *p++ != '-')
        return false;
    if (!digits(p, end, 2, month) || p == end || *p++ != '-' || !digits(p, end, 2, day))
        return false;
    date = QDate(year, month, day);
    return date.isValid();
}

// The regional formats are read once: the workstation's settings do not change under a run.
struct RegionalFormats {
    QLocale locale = QLocale::system();
    QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    QString longTime = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));

    // The long time format of some locales names the time zone ("t"); a timestamp without time
    // zone has none to show.
    static QString withoutTimeZone(const QString &format) {
        QString out;
        bool quoted = false;
        for (QChar c : format) {
            if (c == u'\'')
                quoted = !quoted;
            if (!quoted && c == u't')
                continue;
            out += c;
        }
        return out.trimmed();
    }
};

const RegionalFormats &regional() {
    static const RegionalFormats formats;
    return formats;
}

QString guidText(const char *text, int len) {
    QString s;
    s.reserve(len + 2);
    s += u'{';
    s += QString::fromLatin1(text, len).toLower();
    s += u'}';
    return s;
}

bool parseInteger(const char *text, int len, qlonglong &out) {
    const auto [ptr, ec] = std::from_chars(text, text + len, out);
    return ec == std::errc() && ptr == text + len;
}

bool parseDouble(const char *text, int len, double &out) {
    // Locale-independent, unlike strtod under the workstation's numeric settings.
    const auto [ptr, ec] = std::from_chars(text, text + len, out);
    if (ec == std::errc() && ptr == text + len)
        return true;
    const QByteArray word = QByteArray::fromRawData(text, len);
    if (word == "Infinity") { out = HUGE_VAL; return true; }
    if (word == "-Infinity") { out = -HUGE_VAL; return true; }
    if (word == "NaN") { out = std::nan(""); return true; }
    return false;
}

QByteArray doubleText(double d) {
    if (std::isnan(d))
        return "NaN";
    if (std::isinf(d))
        return d > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return QByteArray(buf, ec == std::errc() ? int(ptr - buf) : 0);
}

QByteArray dateText(const QDate &d) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year(), d.month(), d.day());
    return QByteArray(buf, n);
}

QByteArray timestampText(const QDate &d, const QTime &t) {
    char buf[48];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(),
                          d.day(), t.hour(), t.minute(), t.second());
    if (t.msec() != 0)
        n += std::snprintf(buf + n, sizeof buf - n, ".%03d", t.msec());
    return QByteArray(buf, n);
}

bool storableDate(const QDate &d) { return d.isValid() && d.year() >= 1 && d.year() <= 9999; }

} // namespace

bool parseDate(const char *text, int len, QDate &date) {
    const char *p = text;
    const char *end = text + len;
    return parseDatePart(p, end, date) && p == end;
}

bool parseTimestamp(const char *text, int len, QDate &date, QTime &time) {
    const char *p = text;
    const char *end = text + len;
    if (!parseDatePart(p, end, date))
        return false;
    if (p == end) { // a date alone is its midnight
        time = QTime(0, 0);
        return true;
    }
    int h = 0, m = 0, s = 0, ms = 0;
    if (*p++ != ' ' || !digits(p, end, 2, h) || p == end || *p++ != ':' || !digits(p, end, 2, m) ||
        p == end || *p++ != ':' || !digits(p, end, 2, s))
        return false;
    if (p != end && *p == '.') {
        ++p;
        int scale = 100;
        const char *fracStart = p;
        while (p != end && *p >= '0' && *p <= '9') {
            ms += (*p - '0') * scale;
            scale /= 10;
            ++p;
        }
        if (p == fracStart)
            return false;
    }
    if (p != end)
        return false;
    time = QTime(h, m, s, ms);
    return time.isValid();
}

QString regionalDate(const QDate &date) {
    return regional().locale.toString(date, regional().shortDate);
}

QString regionalDateTime(const QDate &date, const QTime &time) {
    QString text = regionalDate(date);
    if (time != QTime(0, 0)) {
        text += u' ';
        text += regional().locale.toString(time, regional().longTime);
    }
    return text;
}

QVariant toValue(FieldKind kind, const char *text, int len) {
    switch (kind) {
    case FieldKind::String:
    case FieldKind::WideString:
    case FieldKind::Memo:
    case FieldKind::WideMemo:
        return QString::fromUtf8(text, len);
    case FieldKind::Guid:
        return guidText(text, len);
    case FieldKind::Integer:
    case FieldKind::SmallInt:
    case FieldKind::LargeInt: {
        qlonglong v = 0;
        if (parseInteger(text, len, v))
            return v;
        // an int column read as a wider kind never lands here; a numeric one might
        double d = 0;
        if (parseDouble(text, len, d))
            return qlonglong(d);
        break;
    }
    case FieldKind::Float: {
        double d = 0;
        if (parseDouble(text, len, d))
            return d;
        break;
    }
    case FieldKind::Boolean:
        if (len == 1 && (text[0] == 't' || text[0] == 'f'))
            return text[0] == 't';
        break;
    case FieldKind::Date: {
        QDate d;
        if (parseDate(text, len, d))
            return d;
        break;
    }
    case FieldKind::DateTime: {
        QDate d;
        QTime t;
        if (parseTimestamp(text, len, d, t))
            return QDateTime(d, t);
        break;
    }
    }
    return QString::fromUtf8(text, len);
}

QString toDisplay(FieldKind kind, const char *text, int len) {
    switch (kind) {
    case FieldKind::String:
    case FieldKind::WideString:
    case FieldKind::Memo:
    case FieldKind::WideMemo:
        return QString::fromUtf8(text, len);
    case FieldKind::Guid:
        return guidText(text, len);
    case FieldKind::Integer:
    case FieldKind::SmallInt:
    case FieldKind::LargeInt:
        return QString::fromLatin1(text, len);
    case FieldKind::Float: {
        double d = 0;
        if (parseDouble(text, len, d))
            return regional().locale.toString(d, 'g', QLocale::FloatingPointShortest);
        break;
    }
    case FieldKind::Boolean:
        if (len == 1 && (text[0] == 't' || text[0] == 'f'))
            return text[0] == 't' ? QStringLiteral("True") : QStringLiteral("False");
        break;
    case FieldKind::Date: {
        QDate d;
        if (parseDate(text, len, d))
            return regionalDate(d);
        break;
    }
    case FieldKind::DateTime: {
        QDate d;
        QTime t;
        if (parseTimestamp(text, len, d, t))
            return regionalDateTime(d, t);
        break;
    }
    }
    return QString::fromUtf8(text, len);
}

std::optional<QByteArray> toWire(FieldKind kind, const QVariant &value) {
    const int type = value.metaType().id();
    const bool isText = type == QMetaType::QString || type == QMetaType::QByteArray;
    switch (kind) {
    case FieldKind::String:
    case FieldKind::WideString:
    case FieldKind::Memo:
    case FieldKind::WideMemo:
        if (type == QMetaType::QDate)
            return dateText(value.toDate());
        if (type == QMetaType::QDateTime)
            return timestampText(value.toDateTime().date(), value.toDateTime().time());
        return value.toString().toUtf8();
    case FieldKind::Guid: {
        // accepted with or without braces; the server checks the rest
        QString s = value.toString().trimmed();
        if (s.size() >= 2 && s.front() == u'{' && s.back() == u'}')
            s = s.mid(1, s.size() - 2);
        return s.toUtf8();
    }
    case FieldKind::Integer:
    case FieldKind::SmallInt:
    case FieldKind::LargeInt: {
        bool ok = false;
        const qlonglong v = isText ? value.toString().trimmed().toLongLong(&ok) : value.toLongLong(&ok);
        if (!ok || type == QMetaType::Bool)
            return std::nullopt;
        return QByteArray::number(v);
    }
    case FieldKind::Float: {
        bool ok = false;
        double d = 0;
        if (isText) {
            const QByteArray t = value.toString().trimmed().toLatin1();
            ok = parseDouble(t.constData(), int(t.size()), d);
        } else {
            d = value.toDouble(&ok);
        }
        if (!ok || type == QMetaType::Bool)
            return std::nullopt;
        return doubleText(d);
    }
    case FieldKind::Boolean:
        if (type == QMetaType::Bool)
            return QByteArray(value.toBool() ? "t" : "f");
        if (isText) {
            const QString s = value.toString().trimmed().toLower();
            if (s == u"true" || s == u"t" || s == u"1")
                return QByteArray("t");
            if (s == u"false" || s == u"f" || s == u"0")
                return QByteArray("f");
            return std::nullopt;
        }
        if (value.canConvert<qlonglong>())
            return QByteArray(value.toLongLong() != 0 ? "t" : "f");
        return std::nullopt;
    case FieldKind::Date: {
        QDate d;
        if (type == QMetaType::QDate)
            d = value.toDate();
        else if (type == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else if (isText) {
            const QByteArray t = value.toString().trimmed().toLatin1();
            parseDate(t.constData(), int(t.size()), d);
        }
        if (!storableDate(d))
            return std::nullopt;
        return dateText(d);
    }
    case FieldKind::DateTime: {
        QDate d;
        QTime t(0, 0);
        if (type == QMetaType::QDateTime) {
            // the wall-clock value as the caller holds it: no time zone conversion
            d = value.toDateTime().date();
            t = value.toDateTime().time();
        } else if (type == QMetaType::QDate) {
            d = value.toDate();
        } else if (isText) {
            const QByteArray s = value.toString().trimmed().toLatin1();
            if (!parseTimestamp(s.constData(), int(s.size()), d, t))
                d = QDate();
        }
        if (!storableDate(d) || !t.isValid())
            return std::nullopt;
        return timestampText(d, t);
    }
    }
    return std::nullopt;
}

} // namespace wik::db::valuetext
