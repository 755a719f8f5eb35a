#include "GroupByBox.h"

#include "FilterHeader.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace wik::grid {

namespace {
constexpr int margin = 6;
constexpr int gap = 8;
constexpr int glyphSpace = 16;

int columnFrom(const QMimeData *mime, bool *ok) {
    *ok = false;
    if (!mime || !mime->hasFormat(FilterHeader::columnMimeType()))
        return -1;
    return mime->data(FilterHeader::columnMimeType()).toInt(ok);
}
} // namespace

GroupByBox::GroupByBox(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("groupByBox"));
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString GroupByBox::emptyText() {
    return QStringLiteral("Drag a column header here to group by that column");
}

void GroupByBox::setButtons(const QList<Button> &buttons) {
    buttons_ = buttons;
    updateGeometry();
    update();
}

void GroupByBox::setGridPalette(const GridPalette &palette) {
    palette_ = palette;
    updateGeometry();
    update();
}

int GroupByBox::buttonHeight() const {
    return QFontMetrics(palette_.headerFont).height() + 6;
}

QRect GroupByBox::buttonRect(int level) const {
    const QFontMetrics fm(palette_.headerFont);
    const int h = buttonHeight();
    int x = margin;
    for (int i = 0; i < buttons_.size(); ++i) {
        const int w = fm.horizontalAdvance(buttons_[i].caption) + 8 + glyphSpace;
        if (i == level)
            return QRect(x, margin + i * (h / 2), w, h);
        x += w + gap;
    }
    return {};
}

int GroupByBox::levelAt(const QPoint &pos) const {
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttonRect(i).contains(pos))
            return i;
    return -1;
}

int GroupByBox::dropLevelAt(const QPoint &pos) const {
    int level = 0;
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttonRect(i).center().x() < pos.x())
            level = i + 1;
    return level;
}

QSize GroupByBox::sizeHint() const {
    const int h = buttonHeight();
    const int levels = std::max(1, int(buttons_.size()));
    return QSize(200, 2 * margin + h + (levels - 1) * (h / 2));
}

void GroupByBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette_.groupByBox);
    if (buttons_.isEmpty()) {
        p.setPen(palette_.groupByBoxText);
        p.setFont(palette_.contentFont);
        p.drawText(rect().adjusted(margin, 0, -margin, 0), Qt::AlignLeft | Qt::AlignVCenter, emptyText());
        return;
    }
    p.setFont(palette_.headerFont);
    for (int i = 0; i < buttons_.size(); ++i) {
        const QRect r = buttonRect(i);
        if (i + 1 < buttons_.size()) {
            // A line from each level down to the next one.
            const QRect next = buttonRect(i + 1);
            p.setPen(palette_.groupByBoxText);
            p.drawLine(r.left() + r.width() / 2, r.bottom(), r.left() + r.width() / 2, next.center().y());
            p.drawLine(r.left() + r.width() / 2, next.center().y(), next.left(), next.center().y());
        }
        p.fillRect(r, palette_.header);
        p.setPen(palette_.headerLine);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(palette_.headerText);
        p.drawText(r.adjusted(4, 0, -glyphSpace, 0), Qt::AlignLeft | Qt::AlignVCenter, buttons_[i].caption);
        const int cx = r.right() - 9;
        const int cy = r.center().y();
        QPolygon triangle;
        if (buttons_[i].order == Qt::AscendingOrder)
            triangle << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 2);
        else
            triangle << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 2);
        p.setPen(Qt::NoPen);
        p.setBrush(palette_.headerText);
        p.drawPolygon(triangle);
        p.setBrush(Qt::NoBrush);
    }
}

void GroupByBox::mousePressEvent(QMouseEvent *event) {
    pressedLevel_ = event->button() == Qt::LeftButton ? levelAt(event->position().toPoint()) : -1;
    pressPos_ = event->position().toPoint();
}

void GroupByBox::mouseMoveEvent(QMouseEvent *event) {
    if (pressedLevel_ < 0 || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance())
        return;
    const int column = buttons_[pressedLevel_].column;
    const QRect r = buttonRect(pressedLevel_);
    pressedLevel_ = -1;
    auto *mime = new QMimeData;
    mime->setData(FilterHeader::columnMimeType(), QByteArray::number(column));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(grab(r));
    droppedHere_ = false;
    drag->exec(Qt::MoveAction);
    // Let go anywhere but in the box: the rows are no longer grouped by that column.
    if (!droppedHere_)
        emit ungroupRequested(column);
}

void GroupByBox::mouseReleaseEvent(QMouseEvent *event) {
    const int level = pressedLevel_;
    pressedLevel_ = -1;
    if (level >= 0 && levelAt(event->position().toPoint()) == level)
        emit orderToggled(buttons_[level].column);
}

void GroupByBox::dragEnterEvent(QDragEnterEvent *event) {
    bool ok = false;
    columnFrom(event->mimeData(), &ok);
    if (ok)
        event->acceptProposedAction();
}

void GroupByBox::dragMoveEvent(QDragMoveEvent *event) {
    bool ok = false;
    columnFrom(event->mimeData(), &ok);
    if (ok)
        event->acceptProposedAction();
}

void GroupByBox::dropEvent(QDropEvent *event) {
    bool ok = false;
    const int column = columnFrom(event->mimeData(), &ok);
    if (!ok)
        return;
    event->acceptProposedAction();
    droppedHere_ = true;
    int level = dropLevelAt(event->position().toPoint());
    // A button moved to the right passes over its own old place.
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].column == column && i < level)
            --level;
    emit groupRequested(column, level);
}

} // namespace wik::grid
