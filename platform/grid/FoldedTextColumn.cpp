#include "FoldedTextColumn.h"

namespace wik::grid {

void FoldedTextColumn::clear() {
    chars_.clear();
    offsets_.assign(1, 0);
}

void FoldedTextColumn::reserve(int rows, int charsPerRow) {
    offsets_.reserve(std::size_t(rows) + 1);
    chars_.reserve(std::size_t(rows) * std::size_t(charsPerRow));
}

void FoldedTextColumn::append(const QString &displayText) {
    const QString folded = displayText.toCaseFolded();
    chars_.insert(chars_.end(), folded.utf16(), folded.utf16() + folded.size());
    offsets_.push_back(std::uint32_t(chars_.size()));
}

} // namespace wik::grid
