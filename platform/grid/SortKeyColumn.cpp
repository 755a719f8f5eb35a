#include "SortKeyColumn.h"

#include <QDate>
#include <QDateTime>

namespace wik::grid {

namespace {
constexpr qint64 msPerDay = 86400000;
}

void SortKeyColumn::clear() {
    kind_.clear();
    integer_.clear();
    real_.clear();
    text_.clear();
}

void SortKeyColumn::reserve(int rows) {
    kind_.reserve(std::size_t(rows));
    integer_.reserve(std::size_t(rows));
    real_.reserve(std::size_t(rows));
}

void SortKeyColumn::append(const QVariant &value, const QCollator &collator) {
    qint64 i = 0;
    double r = 0;
    std::uint8_t kind = Null;
    if (value.isValid() && !value.isNull()) {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            kind = Integer;
            i = value.toLongLong();
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            kind = Real;
            r = value.toDouble();
            break;
        case QMetaType::QDate:
            kind = Integer;
            i = value.toDate().toJulianDay() * msPerDay;
            break;
        case QMetaType::QDateTime: {
            // Wall-clock order, as the values were stored: no time zone conversion per row.
            const QDateTime dt = value.toDateTime();
            kind = Integer;
            i = dt.date().toJulianDay() * msPerDay + dt.time().msecsSinceStartOfDay();
            break;
        }
        case QMetaType::QTime:
            kind = Integer;
            i = value.toTime().msecsSinceStartOfDay();
            break;
        default:
            kind = Text;
            i = qint64(text_.size());
            text_.push_back(collator.sortKey(value.toString()));
            break;
        }
    }
    kind_.push_back(kind);
    integer_.push_back(i);
    real_.push_back(kind == Integer ? double(i) : r);
}

int SortKeyColumn::compare(int a, int b) const {
    const std::uint8_t ka = kind_[a], kb = kind_[b];
    // Numbers of both kinds compare by value; otherwise NULL < number < text.
    const auto rank = [](std::uint8_t k) { return k == Real ? int(Integer) : int(k); };
    if (rank(ka) != rank(kb))
        return rank(ka) < rank(kb) ? -1 : 1;
    switch (ka) {
    case Null:
        return 0;
    case Integer:
        if (kb == Integer)
            return integer_[a] < integer_[b] ? -1 : integer_[a] > integer_[b] ? 1 : 0;
        [[fallthrough]];
    case Real:
        return real_[a] < real_[b] ? -1 : real_[a] > real_[b] ? 1 : 0;
    default:
        return text_[std::size_t(integer_[a])].compare(text_[std::size_t(integer_[b])]);
    }
}

} // namespace wik::grid
