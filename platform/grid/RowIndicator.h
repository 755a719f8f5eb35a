#pragma once
// The row indicator: the strip left of the rows that marks the focused row with a triangle.
#include "GridPalette.h"

#include <QHeaderView>

namespace wik::grid {

class RowIndicator : public QHeaderView {
    Q_OBJECT
public:
    explicit RowIndicator(QWidget *parent = nullptr);

    void setGridPalette(const GridPalette &palette);
    void setMarkedRow(int row); // -1: no mark
    int markedRow() const { return markedRow_; }

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    GridPalette palette_;
    int markedRow_ = -1;
};

} // namespace wik::grid
