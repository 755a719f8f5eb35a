#include "GridCellDelegate.h"

#include "GridTableView.h"
#include "GridViewModel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

namespace wik::grid {

GridCellDelegate::GridCellDelegate(GridTableView *view) : QStyledItemDelegate(view), view_(view) {}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    const GridViewModel *model = view_->gridModel();
    const int row = index.row();
    if (!model || model->isGroupRow(row))
        return; // the view paints group rows across the whole width
    QColor background;
    QColor text;
    if (view_->currentIndex().row() == row || view_->selectionModel()->isRowSelected(row)) {
        const bool active = view_->gridHasFocus();
        background = active ? palette_.selection : palette_.inactive;
        text = active ? palette_.selectionText : palette_.inactiveText;
    } else {
        background = row % 2 == 0 ? palette_.contentEven : palette_.contentOdd;
        text = palette_.contentText;
    }
    painter->save();
    painter->fillRect(option.rect, background);
    const QRect textRect = option.rect.adjusted(3, 0, -3, 0);
    const QString value = model->data(index, Qt::DisplayRole).toString();
    painter->setFont(palette_.contentFont);
    painter->setPen(text);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(palette_.contentFont).elidedText(value, Qt::ElideRight, textRect.width()));
    painter->restore();
}

bool GridCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                 const QStyleOptionViewItem &option, const QModelIndex &index) {
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QString tip = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    // A tip whose first line looks like markup would be rendered as rich text: an order's JSON
    // or a service's error page would lose its tags, or load the images they name. Such a text
    // goes to the tip as a paragraph that shows it literally.
    if (Qt::mightBeRichText(tip))
        tip = Qt::convertFromPlainText(tip, Qt::WhiteSpacePre);
    QRect cell;
    if (index.isValid()) {
        const QRect r = view->visualRect(index);
        cell = QRect(view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QToolTip::showText(event->globalPos(), tip, view, cell);
    event->setAccepted(!tip.isEmpty());
    return true;
}

} // namespace wik::grid
