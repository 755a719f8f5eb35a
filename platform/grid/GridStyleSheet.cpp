#include "GridStyleSheet.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace wik::grid {

namespace {

// The classic dialog face at an 11-pixel character height.
QFont msSansSerif(bool bold) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

QColor systemWindowText() {
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette().color(QPalette::WindowText);
    return QColor(Qt::black);
}

GridStyle style(const char *name, std::optional<QColor> color, std::optional<QColor> text = {},
                std::optional<QFont> font = {}, std::optional<QColor> fontColor = {}) {
    return GridStyle{QString::fromLatin1(name), color, text, font, fontColor};
}

} // namespace

QList<const GridStyle *> GridStyleSheet::styles() const {
    QList<const GridStyle *> all{&background, &content,    &contentEven, &contentOdd, &filterBox,
                                 &footer,     &group,      &groupByBox,  &header,     &inactive,
                                 &incSearch,  &indicator,  &preview,     &selection};
    std::stable_sort(all.begin(), all.end(), [](const GridStyle *a, const GridStyle *b) {
        return a->name.mid(7).toInt() < b->name.mid(7).toInt();
    });
    return all;
}

const GridStyle *GridStyleSheet::styleNamed(const QString &name) const {
    for (const GridStyle *s : styles())
        if (s->name == name)
            return s;
    return nullptr;
}

GridStyleSheet GridStyleSheet::devExpress() {
    const QColor black(0x00, 0x00, 0x00);
    const QColor navy(0x00, 0x00, 0x80);
    const QColor white(0xFF, 0xFF, 0xFF);
    GridStyleSheet s;
    s.caption = QStringLiteral("DevExpress");
    s.background = style("cxStyle1", QColor(0xFF, 0xFB, 0xF0));
    s.content = style("cxStyle2", QColor(0xD9, 0xEA, 0xF7), black, msSansSerif(false), black);
    s.contentEven = style("cxStyle3", QColor(0xD9, 0xEA, 0xF7), black);
    s.contentOdd = style("cxStyle4", QColor(0xEA, 0xF3, 0xFB), black);
    s.filterBox = style("cxStyle5", QColor(0xFF, 0xFF, 0xE1), black);
    s.footer = style("cxStyle6", QColor(0xFF, 0xFF, 0xE1), navy, msSansSerif(true), systemWindowText());
    s.group = style("cxStyle7", QColor(0xF1, 0xEF, 0xE2));
    s.groupByBox = style("cxStyle8", QColor(0xFE, 0xD5, 0x47), black);
    s.header = style("cxStyle9", QColor(0x31, 0x6A, 0xC5), white, msSansSerif(true), systemWindowText());
    s.inactive = style("cxStyle10", QColor(0xA4, 0xC4, 0xEB));
    s.incSearch = style("cxStyle11", QColor(0xFE, 0xD5, 0x47), black);
    s.indicator = style("cxStyle12", QColor(0xA4, 0xC4, 0xEB));
    s.preview = style("cxStyle13", QColor(0xFF, 0xFF, 0xE1), navy, msSansSerif(true), navy);
    s.selection = style("cxStyle14", QColor(0x31, 0x6A, 0xC5), white);
    return s;
}

} // namespace wik::grid
