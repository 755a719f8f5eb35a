#include "FilterHeader.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace wik::grid {

FilterHeader::FilterHeader(QTableView *table) : QHeaderView(Qt::Horizontal, table) {
    setObjectName(QStringLiteral("filterHeader"));
    setSectionsMovable(true);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMinimumSectionSize(16);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::adjustEditors);
    connect(this, &QHeaderView::sectionMoved, this, &FilterHeader::adjustEditors);
    connect(this, &QHeaderView::sectionCountChanged, this, &FilterHeader::adjustEditors);
    connect(table->horizontalScrollBar(), &QScrollBar::valueChanged, this, &FilterHeader::adjustEditors);
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this, &FilterHeader::adjustEditors);
    connect(this, &QHeaderView::sectionClicked, this, [this](int section) {
        if (!suppressClick_)
            emit sortRequested(section, clickModifiers_);
    });
}

QString FilterHeader::columnMimeType() {
    return QStringLiteral("application/x-wik-grid-column");
}

void FilterHeader::setEditorCount(int count) {
    while (editors_.size() > count) {
        delete editors_.takeLast();
        applied_.removeLast();
    }
    while (editors_.size() < count) {
        const int column = int(editors_.size());
        auto *e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("filterEditor_%1").arg(column));
        e->setFrame(false);
        e->setFocusPolicy(Qt::ClickFocus); // Tab passes the grid as one stop
        e->setClearButtonEnabled(false);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, palette_.filterBox);
        pal.setColor(QPalette::Text, palette_.filterText);
        e->setPalette(pal);
        e->setFont(palette_.contentFont);
        // Applied at once as the operator types; a text that did not really change (Enter on an
        // applied text) does nothing.
        auto apply = [this, column, e] {
            const QString text = e->text();
            if (applied_[column] == text)
                return;
            applied_[column] = text;
            emit filterTextChanged(column, text);
        };
        connect(e, &QLineEdit::textChanged, this, apply);
        connect(e, &QLineEdit::returnPressed, this, apply);
        editors_.append(e);
        applied_.append(QString());
        e->show();
    }
    updateGeometries();
    emit geometriesChanged();
}

QLineEdit *FilterHeader::editor(int column) const {
    return column >= 0 && column < editors_.size() ? editors_[column] : nullptr;
}

void FilterHeader::setSortColumns(const QList<SortColumn> &columns) {
    sortColumns_ = columns;
    viewport()->update();
}

void FilterHeader::setGridPalette(const GridPalette &palette) {
    palette_ = palette;
    setFont(palette.headerFont);
    // The filter strip right of the last editor.
    QPalette own = this->palette();
    own.setColor(QPalette::Window, palette.filterBox);
    setPalette(own);
    setAutoFillBackground(true);
    for (QLineEdit *e : editors_) {
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, palette.filterBox);
        pal.setColor(QPalette::Text, palette.filterText);
        e->setPalette(pal);
        e->setFont(palette.contentFont);
    }
    updateGeometries();
    emit geometriesChanged();
    viewport()->update();
}

int FilterHeader::editorHeight() const {
    return editors_.isEmpty() ? 0 : editors_.first()->sizeHint().height();
}

QSize FilterHeader::sizeHint() const {
    QSize s = QHeaderView::sizeHint();
    s.setHeight(s.height() + editorHeight());
    return s;
}

void FilterHeader::updateGeometries() {
    const int strip = editorHeight();
    if (viewportMargins().bottom() != strip)
        setViewportMargins(0, 0, 0, strip);
    QHeaderView::updateGeometries();
    adjustEditors();
}

void FilterHeader::resizeEvent(QResizeEvent *event) {
    QHeaderView::resizeEvent(event);
    adjustEditors();
}

void FilterHeader::adjustEditors() {
    const int y = viewport()->geometry().bottom() + 1;
    const int h = editorHeight();
    for (int i = 0; i < editors_.size(); ++i) {
        QLineEdit *e = editors_[i];
        if (i >= count() || isSectionHidden(i)) {
            e->hide();
            continue;
        }
        e->setGeometry(sectionPosition(i) - offset(), y, sectionSize(i), h);
        e->show();
    }
}

void FilterHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    painter->save();
    painter->fillRect(rect, palette_.header);
    painter->setPen(palette_.headerLine);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    int glyphWidth = 0;
    for (const SortColumn &s : sortColumns_) {
        if (s.column != logicalIndex)
            continue;
        glyphWidth = 12;
        const int cx = rect.right() - 8;
        const int cy = rect.center().y();
        QPolygon triangle;
        if (s.order == Qt::AscendingOrder)
            triangle << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 2);
        else
            triangle << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 2);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(palette_.headerText);
        painter->setPen(Qt::NoPen);
        painter->drawPolygon(triangle);
        break;
    }
    const QString caption = model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString();
    const QRect textRect = rect.adjusted(4, 0, -4 - glyphWidth, 0);
    painter->setFont(palette_.headerFont);
    painter->setPen(palette_.headerText);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(palette_.headerFont).elidedText(caption, Qt::ElideRight, textRect.width()));
    painter->restore();
}

void FilterHeader::paintEvent(QPaintEvent *event) {
    QHeaderView::paintEvent(event);
    // Right of the last column the grid's background, not a blank header.
    const int end = length() - offset();
    if (end < viewport()->width()) {
        QPainter p(viewport());
        p.fillRect(QRect(std::max(0, end), 0, viewport()->width(), viewport()->height()), palette_.background);
    }
}

void FilterHeader::mousePressEvent(QMouseEvent *event) {
    clickModifiers_ = event->modifiers();
    pressedSection_ = -1;
    const QPoint pos = event->position().toPoint();
    const int section = logicalIndexAt(pos);
    if (event->button() == Qt::LeftButton && section >= 0) {
        // Near a section edge the press starts a resize, never a drag.
        const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
        const int start = sectionViewportPosition(section);
        const int end = start + sectionSize(section);
        const bool onEdge = (pos.x() - start < grip && visualIndex(section) > 0) || end - pos.x() <= grip;
        if (!onEdge) {
            pressedSection_ = section;
            pressPos_ = pos;
        }
    }
    QHeaderView::mousePressEvent(event);
}

void FilterHeader::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    const int away = QApplication::startDragDistance();
    if (pressedSection_ >= 0 && (event->buttons() & Qt::LeftButton) &&
        (pos.y() < -away || pos.y() > height() + away)) {
        // The caption leaves the header: end the header's own move where it began and carry the
        // column away (to the group-by box).
        const int column = pressedSection_;
        pressedSection_ = -1;
        suppressClick_ = true;
        QMouseEvent release(QEvent::MouseButtonRelease, pressPos_, mapToGlobal(pressPos_),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QHeaderView::mouseReleaseEvent(&release);
        suppressClick_ = false;
        startColumnDrag(column);
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void FilterHeader::mouseReleaseEvent(QMouseEvent *event) {
    clickModifiers_ = event->modifiers();
    pressedSection_ = -1;
    QHeaderView::mouseReleaseEvent(event);
}

void FilterHeader::startColumnDrag(int column) {
    auto *mime = new QMimeData;
    mime->setData(columnMimeType(), QByteArray::number(column));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(viewport()->grab(
        QRect(sectionViewportPosition(column), 0, sectionSize(column), viewport()->height())));
    drag->exec(Qt::MoveAction);
}

} // namespace wik::grid
