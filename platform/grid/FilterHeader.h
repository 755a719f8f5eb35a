#pragma once
// The column headers with the filter row under them: a header view that owns one line editor
// per column, keeps a strip under the captions for them and moves each editor with its
// column whenever a column is resized or moved or the table scrolls. It paints the captions
// itself, with the sort marks, and lets a caption be dragged out (to the group-by box).
#include "GridPalette.h"
#include "GridViewModel.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QList>
#include <QPoint>

class QTableView;

namespace wik::grid {

class FilterHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FilterHeader(QTableView *table);

    // One editor per column, named "filterEditor_<column>".
    void setEditorCount(int count);
    int editorCount() const { return int(editors_.size()); }
    QLineEdit *editor(int column) const;

    void setSortColumns(const QList<SortColumn> &columns);
    void setGridPalette(const GridPalette &palette);
    static QString columnMimeType();

    QSize sizeHint() const override;

public slots:
    void adjustEditors();

signals:
    // The operator changed a filter text (each keystroke; only real changes).
    void filterTextChanged(int column, const QString &text);
    // A caption was clicked: plain, with Shift (add a sort column) or Ctrl (remove one).
    void sortRequested(int column, Qt::KeyboardModifiers modifiers);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int editorHeight() const;
    void startColumnDrag(int column);

    QList<QLineEdit *> editors_;
    QStringList applied_; // the text each editor last applied
    QList<SortColumn> sortColumns_;
    GridPalette palette_;
    Qt::KeyboardModifiers clickModifiers_;
    int pressedSection_ = -1;
    QPoint pressPos_;
    bool suppressClick_ = false;
};

} // namespace wik::grid
