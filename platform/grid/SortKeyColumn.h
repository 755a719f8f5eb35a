#pragma once
// The sort keys of one grid column, read once from the typed values: NULL first, then numbers,
// dates and times in their natural order, then texts in the regional collation, ignoring case.
// Two rows with equal keys belong to the same group.
#include <QCollator>
#include <QCollatorSortKey>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace wik::grid {

class SortKeyColumn {
public:
    void clear();
    void reserve(int rows);
    void append(const QVariant &value, const QCollator &collator);
    int rowCount() const { return int(kind_.size()); }

    // <0, 0, >0 as row a sorts before, with, after row b.
    int compare(int a, int b) const;
    bool isNull(int row) const { return kind_[row] == Null; }

private:
    enum Kind : std::uint8_t { Null, Integer, Real, Text };
    std::vector<std::uint8_t> kind_;
    std::vector<qint64> integer_; // Integer rows; Text rows: the index into text_
    std::vector<double> real_;
    std::vector<QCollatorSortKey> text_;
};

} // namespace wik::grid
