#pragma once
// The group-by box above the column headers: a column header dropped here groups the rows by
// that column (several columns give several levels); each grouping column shows as a button,
// a click on it reverses its order, dragging it elsewhere in the box changes its level and
// dragging it out of the box ends the grouping by it.
#include "GridPalette.h"

#include <QList>
#include <QPoint>
#include <QWidget>

namespace wik::grid {

class GroupByBox : public QWidget {
    Q_OBJECT
public:
    struct Button {
        int column = -1;
        QString caption;
        Qt::SortOrder order = Qt::AscendingOrder;
    };

    explicit GroupByBox(QWidget *parent = nullptr);

    static QString emptyText(); // shown while nothing is grouped

    void setButtons(const QList<Button> &buttons); // outermost level first
    const QList<Button> &buttons() const { return buttons_; }
    void setGridPalette(const GridPalette &palette);

    QRect buttonRect(int level) const;
    // The level a column dropped at pos takes (0 = outermost).
    int dropLevelAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void groupRequested(int column, int level);
    void ungroupRequested(int column);
    void orderToggled(int column);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int buttonHeight() const;
    int levelAt(const QPoint &pos) const;

    QList<Button> buttons_;
    GridPalette palette_;
    int pressedLevel_ = -1;
    QPoint pressPos_;
    bool droppedHere_ = false;
};

} // namespace wik::grid
