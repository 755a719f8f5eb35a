#include "GridTableView.h"

#include "GridCellDelegate.h"
#include "GridViewModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace wik::grid {

namespace {
constexpr int levelIndent = 16;
constexpr int buttonSize = 9;
} // namespace

GridTableView::GridTableView(QWidget *focusScope, QWidget *parent)
    : QTableView(parent), focusScope_(focusScope), delegate_(new GridCellDelegate(this)) {
    setItemDelegate(delegate_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected for copying (Shift and Ctrl with clicks and arrow keys); the
    // focused row is the current index and moves with the operator as with a single selection.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void GridTableView::setGridModel(GridViewModel *model) {
    model_ = model;
    setModel(model);
}

void GridTableView::setGridPalette(const GridPalette &palette) {
    palette_ = palette;
    delegate_->setGridPalette(palette);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, palette.background);
    pal.setColor(QPalette::Window, palette.background);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    QPalette own = this->palette();
    own.setColor(QPalette::Base, palette.background);
    own.setColor(QPalette::Mid, palette.gridLine);
    setPalette(own);
    setFont(palette.contentFont);
    // The corner above the row indicator belongs to the headers.
    if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly)) {
        QPalette cp = corner->palette();
        cp.setColor(QPalette::Button, palette.header);
        cp.setColor(QPalette::Window, palette.header);
        corner->setPalette(cp);
        corner->setAutoFillBackground(true);
    }
    // Rows as high as the content font needs; every row the same, whatever the row count.
    verticalHeader()->setDefaultSectionSize(QFontMetrics(palette.contentFont).height() + 5);
    viewport()->update();
}

bool GridTableView::gridHasFocus() const {
    const QWidget *f = QApplication::focusWidget();
    return f && (f == this || (focusScope_ && focusScope_->isAncestorOf(f)));
}

QRect GridTableView::expandButtonRect(int row) const {
    if (!model_)
        return {};
    const int group = model_->groupAt(row);
    if (group < 0)
        return {};
    const int y = rowViewportPosition(row);
    const int h = rowHeight(row);
    return QRect(model_->groupLevel(group) * levelIndent + 4, y + (h - buttonSize) / 2, buttonSize, buttonSize);
}

void GridTableView::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (!model_ || model_->groupCount() == 0 || model_->rowCount() == 0)
        return;
    int first = rowAt(event->rect().top());
    int last = rowAt(event->rect().bottom());
    if (first < 0)
        return;
    if (last < 0)
        last = model_->rowCount() - 1;
    QPainter p(viewport());
    p.setFont(palette_.contentFont);
    const int width = std::max(viewport()->width(), horizontalHeader()->length() - horizontalOffset());
    const int currentRow = currentIndex().row();
    const bool active = gridHasFocus();
    for (int row = first; row <= last; ++row) {
        const int group = model_->groupAt(row);
        if (group < 0)
            continue;
        const QRect rowRect(0, rowViewportPosition(row), width, rowHeight(row));
        QColor background = palette_.group;
        QColor text = palette_.groupText;
        if (row == currentRow || selectionModel()->isRowSelected(row)) {
            background = active ? palette_.selection : palette_.inactive;
            text = active ? palette_.selectionText : palette_.inactiveText;
        }
        p.fillRect(rowRect, background);
        p.setPen(palette_.gridLine);
        p.drawLine(rowRect.bottomLeft(), rowRect.bottomRight());
        const QRect button = expandButtonRect(row);
        p.setPen(text);
        p.setBrush(Qt::NoBrush);
        p.drawRect(button.adjusted(0, 0, -1, -1));
        const int cy = button.center().y();
        p.drawLine(button.left() + 2, cy, button.right() - 2, cy);
        if (!model_->isGroupExpanded(group))
            p.drawLine(button.center().x(), button.top() + 2, button.center().x(), button.bottom() - 2);
        const QRect textRect(button.right() + 6, rowRect.top(), rowRect.width() - button.right() - 8, rowRect.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(palette_.contentFont).elidedText(model_->groupText(group), Qt::ElideRight, textRect.width()));
    }
}

void GridTableView::focusInEvent(QFocusEvent *event) {
    // Entering the grid is no move: the focused row stays the owner's current row (the item
    // view's default would focus the first row when none is).
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void GridTableView::keyPressEvent(QKeyEvent *event) {
    const int row = currentIndex().row();
    if (model_ && model_->groupAt(row) >= 0) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Right:
            emit groupExpandRequested(row, true);
            return;
        case Qt::Key_Minus:
        case Qt::Key_Left:
            emit groupExpandRequested(row, false);
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void GridTableView::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && model_ && model_->groupAt(row) >= 0 &&
        expandButtonRect(row).adjusted(-2, -2, 2, 2).contains(pos))
        emit groupExpandRequested(row, !model_->isGroupExpanded(model_->groupAt(row)));
}

void GridTableView::mouseDoubleClickEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    if (model_ && model_->groupAt(row) >= 0) {
        if (!expandButtonRect(row).adjusted(-2, -2, 2, 2).contains(pos)) // the press toggled already
            emit groupExpandRequested(row, !model_->isGroupExpanded(model_->groupAt(row)));
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

} // namespace wik::grid
