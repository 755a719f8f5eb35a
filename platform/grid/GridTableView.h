#pragma once
// The grid's table: data rows and the group rows across the whole width, with the keys and
// clicks that expand and collapse groups. Cells are never edited.
#include "GridPalette.h"

#include <QTableView>

namespace wik::grid {

class GridViewModel;
class GridCellDelegate;

class GridTableView : public QTableView {
    Q_OBJECT
public:
    explicit GridTableView(QWidget *focusScope, QWidget *parent = nullptr);

    void setGridModel(GridViewModel *model);
    GridViewModel *gridModel() const { return model_; }
    void setGridPalette(const GridPalette &palette);
    const GridPalette &gridPalette() const { return palette_; }

    // Whether the focus is in the grid (then the focused row takes the selection colours).
    bool gridHasFocus() const;
    // Where a group row's expand button is, in viewport coordinates.
    QRect expandButtonRect(int row) const;

signals:
    void groupExpandRequested(int row, bool expand);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QWidget *focusScope_;
    GridViewModel *model_ = nullptr;
    GridCellDelegate *delegate_;
    GridPalette palette_;
};

} // namespace wik::grid
