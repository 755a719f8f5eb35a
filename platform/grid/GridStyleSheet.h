#pragma once
// A grid style sheet: a caption and the styles of the grid's elements. Each style may set a
// background colour, a text colour and a font (whose own colour counts only where no text
// colour is set). The sheet belongs to its owner (the connection data module holds the
// workbench's); grids only refer to it.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <optional>

namespace wik::grid {

struct GridStyle {
    QString name;                    // the style's own name, e.g. "cxStyle9"
    std::optional<QColor> color;     // background
    std::optional<QColor> textColor;
    std::optional<QFont> font;
    std::optional<QColor> fontColor; // the colour that comes with the font

    // Where a style sets both a font colour and a text colour, text is painted in the text colour.
    std::optional<QColor> effectiveTextColor() const { return textColor ? textColor : fontColor; }
};

class GridStyleSheet {
public:
    QString caption;
    GridStyle background;  // the area the rows do not cover
    GridStyle content;     // data cells
    GridStyle contentEven; // rows 0, 2, 4, ... of the table (counting group rows)
    GridStyle contentOdd;  // rows 1, 3, 5, ...
    GridStyle filterBox;   // the filter row's editors
    GridStyle footer;
    GridStyle group;       // group rows
    GridStyle groupByBox;
    GridStyle header;      // column headers
    GridStyle incSearch;
    GridStyle inactive;    // the focused row while the focus is outside the grid
    GridStyle indicator;   // the row indicator strip
    GridStyle preview;
    GridStyle selection;   // the focused row while the grid has the focus

    // The fourteen styles in their repository order (cxStyle1 .. cxStyle14).
    QList<const GridStyle *> styles() const;
    const GridStyle *styleNamed(const QString &name) const;

    // The workbench grid's sheet "DevExpress" with its styles cxStyle1 .. cxStyle14.
    static GridStyleSheet devExpress();
};

} // namespace wik::grid
