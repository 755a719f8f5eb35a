#pragma once
// Paints the data cells: even and odd rows, the focused row in the selection colours (or the
// inactive ones while the focus is outside the grid), the text in the content font.
#include "GridPalette.h"

#include <QStyledItemDelegate>

namespace wik::grid {

class GridTableView;

class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(GridTableView *view);

    void setGridPalette(const GridPalette &palette) { palette_ = palette; }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    // The tip of a cell: its text as written, never read as markup.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    // Never an editor: the grid is read-only.
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override {
        return nullptr;
    }

private:
    GridTableView *view_;
    GridPalette palette_;
};

} // namespace wik::grid
