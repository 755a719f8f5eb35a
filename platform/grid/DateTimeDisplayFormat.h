#pragma once
// A date-time display format in the notation the operators' configuration uses:
// "yyyy-mm-dd hh:nn:ss" where "nn" is minutes, and an "m" or "mm" that follows an hour
// specifier is minutes as well. The pattern is read once; formatting a value does no parsing.
#include <QDateTime>
#include <QString>

#include <vector>

namespace wik::grid {

class DateTimeDisplayFormat {
public:
    DateTimeDisplayFormat() = default;
    explicit DateTimeDisplayFormat(const QString &pattern);

    // The value written in the pattern; an invalid value gives an empty text.
    QString format(const QDateTime &value) const;
    bool isEmpty() const { return parts_.empty(); }

private:
    enum class Token : unsigned char {
        Literal, Year2, Year4, Month, Month2, MonthShort, MonthLong, Day, Day2, DayShort, DayLong,
        Hour, Hour2, Minute, Minute2, Second, Second2, Milli, Milli3, AmPmLong, AmPmShort, AmPmLocale,
    };
    struct Part {
        Token token;
        QString literal; // Literal text, or the two halves "am/pm" of an AM/PM specifier
    };
    void addLiteral(const QString &text);

    std::vector<Part> parts_;
    bool twelveHour_ = false;
};

} // namespace wik::grid
