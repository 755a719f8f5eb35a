#pragma once
// One column of the grid: what it shows, from which column of the data, how wide and how the
// value is written in the cell.
#include <QString>

namespace wik::grid {

// How a column writes its values. The kind alone decides the cell text, the text the filter row
// matches and the value a group row shows.
enum class DisplayKind {
    PlainText, // the value's text as it is
    Memo,      // a long text, shown on one line
    ShortDate, // a date in the regional short date format
    DateTime,  // a date-time in the column's display format ("yyyy-mm-dd hh:nn:ss")
};

struct GridColumn {
    QString caption;          // header caption; empty: the data's own column name
    int sourceColumn = -1;    // column of the data model
    int width = -1;           // pixels; -1: the grid's default width
    DisplayKind kind = DisplayKind::PlainText;
    QString displayFormat;    // for DateTime: "yyyy-mm-dd hh:nn:ss" style, "nn" being minutes
};

} // namespace wik::grid
