#include "RowSet.h"

#include <cstring>

namespace wik::db {

void RowSet::describe(const PGresult *result) {
    if (!names_.empty() || rows_ > 0)
        return;
    const int columns = PQnfields(result);
    names_.reserve(columns);
    types_.reserve(columns);
    for (int c = 0; c < columns; ++c) {
        names_.emplace_back(PQfname(result, c));
        types_.push_back(PQftype(result, c));
    }
}

char *RowSet::reserveText(std::size_t bytes) {
    if (bytes > textLeft_) {
        if (bytes > textBlockSize / 4) {
            // A large value gets a block of its own; the current block stays open for the rest.
            textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
            return textBlocks_.back().get();
        }
        textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(textBlockSize));
        textFree_ = textBlocks_.back().get();
        textLeft_ = textBlockSize;
    }
    char *p = textFree_;
    textFree_ += bytes;
    textLeft_ -= bytes;
    return p;
}

void RowSet::append(const PGresult *result) {
    describe(result);
    const int columns = columnCount();
    const int rows = PQntuples(result);
    for (int r = 0; r < rows; ++r) {
        if (rows_ % rowsPerBlock == 0)
            cellBlocks_.push_back(std::make_unique_for_overwrite<Cell[]>(std::size_t(rowsPerBlock) * columns));
        Cell *row = &cellBlocks_.back()[(rows_ % rowsPerBlock) * columns];
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c)) {
                row[c] = {nullptr, -1};
                continue;
            }
            const int n = PQgetlength(result, r, c);
            char *text = reserveText(std::size_t(n) + 1);
            std::memcpy(text, PQgetvalue(result, r, c), std::size_t(n) + 1); // with its NUL
            row[c] = {text, n};
        }
        ++rows_;
    }
}

} // namespace wik::db
