#pragma once
// The rows of one query result, kept compactly: the column names and types, and every value's
// wire text packed one after another into large blocks, with a small cell table (pointer and
// length) per value. libpq delivers the rows one by one (single-row mode) and each is copied
// here and released at once, so a long list costs little more than the size of its values:
// libpq's own result would keep each value in a 2 KB block allocator that wastes up to half of
// every block when values are around 1 KB (order JSON).
#include <QByteArray>

#include <libpq-fe.h>

#include <memory>
#include <vector>

namespace wik::db {

class RowSet {
public:
    RowSet() = default;
    RowSet(const RowSet &) = delete;
    RowSet &operator=(const RowSet &) = delete;

    int rowCount() const { return rows_; }
    int columnCount() const { return int(names_.size()); }
    const QByteArray &columnName(int column) const { return names_[column]; }
    Oid columnType(int column) const { return types_[column]; }

    bool isNull(int row, int column) const { return cell(row, column).length < 0; }
    // The value's text, terminated by a NUL; "" for NULL.
    const char *value(int row, int column) const {
        const Cell &c = cell(row, column);
        return c.length < 0 ? "" : c.data;
    }
    int length(int row, int column) const {
        const int n = cell(row, column).length;
        return n < 0 ? 0 : n;
    }

    // Takes the column names and types of a result (any result of the query will do).
    void describe(const PGresult *result);
    // Copies the rows of a result (one row in single-row mode) to the end.
    void append(const PGresult *result);

private:
    struct Cell {
        const char *data;
        int length; // -1 for NULL
    };
    static constexpr int rowsPerBlock = 1024;
    static constexpr std::size_t textBlockSize = 1 << 20;

    const Cell &cell(int row, int column) const {
        return cellBlocks_[row / rowsPerBlock][(row % rowsPerBlock) * names_.size() + column];
    }
    char *reserveText(std::size_t bytes);

    std::vector<QByteArray> names_;
    std::vector<Oid> types_;
    int rows_ = 0;
    // Fixed-size blocks, so that growing never copies what is there (no reallocation peaks).
    std::vector<std::unique_ptr<Cell[]>> cellBlocks_;
    std::vector<std::unique_ptr<char[]>> textBlocks_;
    char *textFree_ = nullptr;
    std::size_t textLeft_ = 0;
};

} // namespace wik::db
