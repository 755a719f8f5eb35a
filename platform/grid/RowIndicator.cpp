#include "RowIndicator.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace wik::grid {

namespace {
constexpr int stripWidth = 12;
}

RowIndicator::RowIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {
    setObjectName(QStringLiteral("rowIndicator"));
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(true);
    setHighlightSections(false);
    setMinimumSectionSize(8);
}

void RowIndicator::setGridPalette(const GridPalette &palette) {
    palette_ = palette;
    viewport()->update();
}

void RowIndicator::setMarkedRow(int row) {
    if (row == markedRow_)
        return;
    markedRow_ = row;
    viewport()->update();
}

QSize RowIndicator::sizeHint() const {
    // The strip's width is fixed: measuring row captions of 100,000 rows would be wasted work.
    return QSize(stripWidth, length());
}

void RowIndicator::paintEvent(QPaintEvent *event) {
    QHeaderView::paintEvent(event);
    // Below the last row the strip keeps its colour.
    const int end = length() - offset();
    if (end < viewport()->height()) {
        QPainter p(viewport());
        p.fillRect(QRect(0, std::max(0, end), viewport()->width(), viewport()->height()), palette_.indicator);
    }
}

void RowIndicator::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, palette_.indicator);
    painter->setPen(palette_.indicator.darker(130));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    if (logicalIndex == markedRow_) {
        const int cx = rect.center().x();
        const int cy = rect.center().y();
        QPolygon triangle;
        triangle << QPoint(cx - 2, cy - 4) << QPoint(cx - 2, cy + 4) << QPoint(cx + 2, cy);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette_.indicatorGlyph);
        painter->drawPolygon(triangle);
    }
    painter->restore();
}

} // namespace wik::grid
