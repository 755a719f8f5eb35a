#pragma once
// The case-folded display texts of one grid column, for the filter row: one buffer for all
// rows, so matching a typed text against 100,000 rows touches no allocator.
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace wik::grid {

class FoldedTextColumn {
public:
    void clear();
    void reserve(int rows, int charsPerRow);
    void append(const QString &displayText); // rows are appended in source-row order
    int rowCount() const { return int(offsets_.size()) - 1; }

    QStringView text(int row) const {
        return QStringView(chars_.data() + offsets_[row], offsets_[row + 1] - offsets_[row]);
    }
    // foldedNeedle must already be case-folded.
    bool contains(int row, QStringView foldedNeedle) const {
        return text(row).indexOf(foldedNeedle) >= 0;
    }

private:
    std::vector<char16_t> chars_;
    std::vector<std::uint32_t> offsets_{0};
};

} // namespace wik::grid
