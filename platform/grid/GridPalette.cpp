#include "GridPalette.h"

#include "GridStyleSheet.h"

namespace wik::grid {

namespace {

QColor pick(const std::optional<QColor> &first, const std::optional<QColor> &second,
            const QColor &fallback) {
    if (first && first->isValid())
        return *first;
    if (second && second->isValid())
        return *second;
    return fallback;
}

QColor backgroundOf(const GridStyle *s, const QColor &fallback) {
    return s ? pick(s->color, std::nullopt, fallback) : fallback;
}

QColor textOf(const GridStyle *s, const QColor &fallback) {
    return s ? pick(s->effectiveTextColor(), std::nullopt, fallback) : fallback;
}

QFont fontOf(const GridStyle *s, const QFont &fallback) {
    return s && s->font ? *s->font : fallback;
}

} // namespace

GridPalette GridPalette::resolve(const GridStyleSheet *sheet, const QPalette &system,
                                 const QFont &systemFont) {
    GridPalette p;
    const GridStyle *content = sheet ? &sheet->content : nullptr;
    p.background = backgroundOf(sheet ? &sheet->background : nullptr, system.color(QPalette::Base));
    p.contentFont = fontOf(content, systemFont);
    p.contentText = textOf(content, system.color(QPalette::Text));
    const QColor contentBg = backgroundOf(content, system.color(QPalette::Base));
    // Even and odd rows take their own colours where set, the content's otherwise.
    p.contentEven = backgroundOf(sheet ? &sheet->contentEven : nullptr, contentBg);
    p.contentOdd = backgroundOf(sheet ? &sheet->contentOdd : nullptr, contentBg);
    p.selection = backgroundOf(sheet ? &sheet->selection : nullptr, system.color(QPalette::Highlight));
    p.selectionText = textOf(sheet ? &sheet->selection : nullptr,
                             system.color(QPalette::HighlightedText));
    // Without the focus the row keeps the mark in the inactive colour and the content's text.
    p.inactive = backgroundOf(sheet ? &sheet->inactive : nullptr,
                              system.color(QPalette::Inactive, QPalette::Highlight));
    p.inactiveText = textOf(sheet ? &sheet->inactive : nullptr, p.contentText);
    p.group = backgroundOf(sheet ? &sheet->group : nullptr, system.color(QPalette::Button));
    p.groupText = textOf(sheet ? &sheet->group : nullptr, p.contentText);
    const GridStyle *header = sheet ? &sheet->header : nullptr;
    p.header = backgroundOf(header, system.color(QPalette::Button));
    p.headerText = textOf(header, system.color(QPalette::ButtonText));
    p.headerFont = fontOf(header, systemFont);
    p.headerLine = p.header.darker(140);
    p.groupByBox = backgroundOf(sheet ? &sheet->groupByBox : nullptr, system.color(QPalette::Mid));
    p.groupByBoxText = textOf(sheet ? &sheet->groupByBox : nullptr, system.color(QPalette::WindowText));
    p.indicator = backgroundOf(sheet ? &sheet->indicator : nullptr, system.color(QPalette::Button));
    p.indicatorGlyph = textOf(sheet ? &sheet->indicator : nullptr, system.color(QPalette::ButtonText));
    p.filterBox = backgroundOf(sheet ? &sheet->filterBox : nullptr, system.color(QPalette::Base));
    p.filterText = textOf(sheet ? &sheet->filterBox : nullptr, system.color(QPalette::Text));
    p.gridLine = system.color(QPalette::Mid);
    return p;
}

} // namespace wik::grid
