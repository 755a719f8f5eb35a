#include "DateTimeDisplayFormat.h"

#include <QLocale>

#include <optional>

namespace wik::grid {

namespace {

// Length of the run of letter `c` (either case) starting at `i`.
int runLength(const QString &p, qsizetype i, QChar c) {
    int n = 0;
    const QChar lower = c.toLower();
    while (i + n < p.size() && p.at(i + n).toLower() == lower)
        ++n;
    return n;
}

bool startsWithNoCase(const QString &p, qsizetype i, QLatin1StringView what) {
    return QStringView(p).mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// The regional date separator: the first character of the short date format that is not part
// of a field.
QString dateSeparator() {
    const QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (QChar c : f)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return QString(c);
    return QStringLiteral("/");
}

void appendNumber(QString &out, int value, int minDigits) {
    char buf[12];
    int n = 0;
    unsigned v = value < 0 ? 0u : unsigned(value);
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    for (int i = n; i < minDigits; ++i)
        out.append(QLatin1Char('0'));
    while (n)
        out.append(QLatin1Char(buf[--n]));
}

} // namespace

void DateTimeDisplayFormat::addLiteral(const QString &text) {
    if (!parts_.empty() && parts_.back().token == Token::Literal)
        parts_.back().literal += text;
    else
        parts_.push_back({Token::Literal, text});
}

DateTimeDisplayFormat::DateTimeDisplayFormat(const QString &p) {
    bool afterHour = false; // the last field read was an hour: "m"/"mm" then mean minutes
    qsizetype i = 0;
    while (i < p.size()) {
        const QChar c = p.at(i);
        const char16_t lc = c.toLower().unicode();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = p.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? p.size() : end;
            addLiteral(p.mid(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (lc == u'a') {
            if (startsWithNoCase(p, i, QLatin1StringView("am/pm"))) {
                parts_.push_back({Token::AmPmLong, p.mid(i, 2) + p.mid(i + 3, 2)});
                twelveHour_ = true;
                i += 5;
                continue;
            }
            if (startsWithNoCase(p, i, QLatin1StringView("a/p"))) {
                parts_.push_back({Token::AmPmShort, p.mid(i, 1) + p.mid(i + 2, 1)});
                twelveHour_ = true;
                i += 3;
                continue;
            }
            if (startsWithNoCase(p, i, QLatin1StringView("ampm"))) {
                parts_.push_back({Token::AmPmLocale, {}});
                twelveHour_ = true;
                i += 4;
                continue;
            }
        }
        const int n = runLength(p, i, c);
        switch (lc) {
        case u'y':
            parts_.push_back({n <= 2 ? Token::Year2 : Token::Year4, {}});
            afterHour = false;
            break;
        case u'm':
            if (afterHour && n <= 2)
                parts_.push_back({n == 1 ? Token::Minute : Token::Minute2, {}});
            else
                parts_.push_back({n == 1 ? Token::Month : n == 2 ? Token::Month2
                                          : n == 3 ? Token::MonthShort : Token::MonthLong, {}});
            afterHour = false;
            break;
        case u'd':
            parts_.push_back({n == 1 ? Token::Day : n == 2 ? Token::Day2
                                     : n == 3 ? Token::DayShort : Token::DayLong, {}});
            afterHour = false;
            break;
        case u'h':
            parts_.push_back({n == 1 ? Token::Hour : Token::Hour2, {}});
            afterHour = true;
            break;
        case u'n':
            parts_.push_back({n == 1 ? Token::Minute : Token::Minute2, {}});
            afterHour = false;
            break;
        case u's':
            parts_.push_back({n == 1 ? Token::Second : Token::Second2, {}});
            afterHour = false;
            break;
        case u'z':
            parts_.push_back({n < 3 ? Token::Milli : Token::Milli3, {}});
            afterHour = false;
            break;
        case u'/':
            addLiteral(dateSeparator().repeated(n));
            break;
        default:
            addLiteral(p.mid(i, n));
            break;
        }
        i += n;
    }
}

QString DateTimeDisplayFormat::format(const QDateTime &value) const {
    if (!value.isValid())
        return {};
    const QDate d = value.date();
    const QTime t = value.time();
    // Names and AM/PM texts only: building the system locale for every value would cost more
    // than the digits do.
    std::optional<QLocale> systemLocale;
    auto locale = [&]() -> const QLocale & {
        if (!systemLocale)
            systemLocale = QLocale::system();
        return *systemLocale;
    };
    QString out;
    out.reserve(24);
    int hour = t.hour();
    if (twelveHour_) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    const bool pm = t.hour() >= 12;
    for (const Part &part : parts_) {
        switch (part.token) {
        case Token::Literal: out += part.literal; break;
        case Token::Year2: appendNumber(out, d.year() % 100, 2); break;
        case Token::Year4: appendNumber(out, d.year(), 4); break;
        case Token::Month: appendNumber(out, d.month(), 1); break;
        case Token::Month2: appendNumber(out, d.month(), 2); break;
        case Token::MonthShort: out += locale().monthName(d.month(), QLocale::ShortFormat); break;
        case Token::MonthLong: out += locale().monthName(d.month(), QLocale::LongFormat); break;
        case Token::Day: appendNumber(out, d.day(), 1); break;
        case Token::Day2: appendNumber(out, d.day(), 2); break;
        case Token::DayShort: out += locale().dayName(d.dayOfWeek(), QLocale::ShortFormat); break;
        case Token::DayLong: out += locale().dayName(d.dayOfWeek(), QLocale::LongFormat); break;
        case Token::Hour: appendNumber(out, hour, 1); break;
        case Token::Hour2: appendNumber(out, hour, 2); break;
        case Token::Minute: appendNumber(out, t.minute(), 1); break;
        case Token::Minute2: appendNumber(out, t.minute(), 2); break;
        case Token::Second: appendNumber(out, t.second(), 1); break;
        case Token::Second2: appendNumber(out, t.second(), 2); break;
        case Token::Milli: appendNumber(out, t.msec(), 1); break;
        case Token::Milli3: appendNumber(out, t.msec(), 3); break;
        case Token::AmPmLong: out += part.literal.mid(pm ? 2 : 0, 2); break;
        case Token::AmPmShort: out += part.literal.mid(pm ? 1 : 0, 1); break;
        case Token::AmPmLocale: out += pm ? locale().pmText() : locale().amText(); break;
        }
    }
    return out;
}

} // namespace wik::grid
