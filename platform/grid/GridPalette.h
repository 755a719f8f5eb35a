#pragma once
// The colours and fonts the grid paints with, worked out once from a style sheet (or from the
// system palette where the sheet leaves a value to the grid). Every part of the grid paints
// from this one object.
#include <QColor>
#include <QFont>
#include <QPalette>

namespace wik::grid {

class GridStyleSheet;

struct GridPalette {
    QColor background;
    QFont contentFont;
    QColor contentText;
    QColor contentEven;
    QColor contentOdd;
    QColor selection;
    QColor selectionText;
    QColor inactive;
    QColor inactiveText;
    QColor group;
    QColor groupText;
    QColor header;
    QColor headerText;
    QFont headerFont;
    QColor headerLine;
    QColor groupByBox;
    QColor groupByBoxText;
    QColor indicator;
    QColor indicatorGlyph;
    QColor filterBox;
    QColor filterText;
    QColor gridLine;

    // sheet may be null: the grid's own defaults from the system palette and font.
    static GridPalette resolve(const GridStyleSheet *sheet, const QPalette &system,
                               const QFont &systemFont);
};

} // namespace wik::grid
