#pragma once
// The navigator bar under the rows: first, prior page, prior, next, next page and last, and
// the info panel "Record N of M". It only moves the focus; nothing in it changes data.
#include <QWidget>

class QLabel;
class QToolButton;

namespace wik::grid {

class GridNavigator : public QWidget {
    Q_OBJECT
public:
    explicit GridNavigator(QWidget *parent = nullptr);

    // position: 1-based place of the focused row among count rows; 0 when none is focused.
    void setPosition(int position, int count);
    QString infoText() const;

signals:
    void firstRequested();
    void priorPageRequested();
    void priorRequested();
    void nextRequested();
    void nextPageRequested();
    void lastRequested();

private:
    QToolButton *first_;
    QToolButton *priorPage_;
    QToolButton *prior_;
    QToolButton *next_;
    QToolButton *nextPage_;
    QToolButton *last_;
    QLabel *info_;
};

} // namespace wik::grid
