#pragma once
// The one place that turns a column's typed value into the text the operator reads: in the
// cell, in the group row and in what the filter row matches.
#include "DateTimeDisplayFormat.h"
#include "GridColumn.h"

#include <QLocale>
#include <QVariant>

namespace wik::grid {

class CellFormatter {
public:
    CellFormatter() = default;
    explicit CellFormatter(const GridColumn &column);

    // The text for a value of the column; NULL (an invalid value) is an empty text.
    QString text(const QVariant &value) const;
    DisplayKind kind() const { return kind_; }

private:
    DisplayKind kind_ = DisplayKind::PlainText;
    DateTimeDisplayFormat dateTimeFormat_;
    QLocale locale_ = QLocale::system();
};

} // namespace wik::grid
