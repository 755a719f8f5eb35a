#include "GridStyleSheet.h"
#include "GridTestSupport.h"
#include "GroupByBox.h"
#include "RowIndicator.h"

#include <QImage>
#include <QTest>

using namespace gridtest;
using wik::grid::GridPalette;
using wik::grid::GridStyleSheet;

namespace {

struct StyleRow {
    const char *name;
    const char *background;
    const char *text; // "" when the style leaves it to the grid
};

TEST(StyleSheet, TheDevExpressSheetHoldsItsFourteenStyles) {
    gridtest::ensureApplication();
    const GridStyleSheet sheet = GridStyleSheet::devExpress();
    EXPECT_EQ(sheet.caption, "DevExpress");
    const std::vector<StyleRow> expected{
        {"cxStyle1", "#fffbf0", ""},        {"cxStyle2", "#d9eaf7", "#000000"},
        {"cxStyle3", "#d9eaf7", "#000000"}, {"cxStyle4", "#eaf3fb", "#000000"},
        {"cxStyle5", "#ffffe1", "#000000"}, {"cxStyle6", "#ffffe1", "#000080"},
        {"cxStyle7", "#f1efe2", ""},        {"cxStyle8", "#fed547", "#000000"},
        {"cxStyle9", "#316ac5", "#ffffff"}, {"cxStyle10", "#a4c4eb", ""},
        {"cxStyle11", "#fed547", "#000000"}, {"cxStyle12", "#a4c4eb", ""},
        {"cxStyle13", "#ffffe1", "#000080"}, {"cxStyle14", "#316ac5", "#ffffff"},
    };
    const auto styles = sheet.styles();
    ASSERT_EQ(styles.size(), qsizetype(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(styles[qsizetype(i)]->name, expected[i].name);
        EXPECT_EQ(styles[qsizetype(i)]->color->name(), expected[i].background) << expected[i].name;
        const auto text = styles[qsizetype(i)]->effectiveTextColor();
        EXPECT_EQ(text ? text->name() : QString(), expected[i].text) << expected[i].name;
    }
    EXPECT_EQ(sheet.styleNamed("cxStyle10"), &sheet.inactive);
    EXPECT_EQ(sheet.styleNamed("cxStyle11"), &sheet.incSearch);
    ASSERT_TRUE(sheet.header.font);
    EXPECT_EQ(sheet.header.font->family(), "MS Sans Serif");
    EXPECT_EQ(sheet.header.font->pixelSize(), 11);
    EXPECT_TRUE(sheet.header.font->bold());
    EXPECT_FALSE(sheet.content.font->bold());
}

TEST(StyleSheet, TheTextColourWinsOverTheFontColour) {
    GridStyleSheet sheet;
    sheet.header.fontColor = QColor(Qt::black);
    sheet.header.textColor = QColor(Qt::white);
    sheet.footer.fontColor = QColor(Qt::red);
    EXPECT_EQ(*sheet.header.effectiveTextColor(), QColor(Qt::white));
    EXPECT_EQ(*sheet.footer.effectiveTextColor(), QColor(Qt::red));
    const GridPalette p = GridPalette::resolve(&sheet, QPalette(Qt::gray), QFont());
    EXPECT_EQ(p.headerText, QColor(Qt::white));
}

class GridLook : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        sheet = GridStyleSheet::devExpress();
        grid->setStyleSheet(&sheet);
        QApplication::processEvents();
    }
    QColor cellColour(int row, int column = 1) {
        auto *t = grid->tableView();
        const QImage img = t->viewport()->grab().toImage();
        const QRect r = t->visualRect(view().index(row, column));
        return img.pixelColor(r.right() - 2, r.top() + 2); // right of any text
    }
    GridStyleSheet sheet;
};

TEST_F(GridLook, RowsTakeTheEvenOddSelectionAndInactiveColours) {
    EXPECT_EQ(cellColour(0).name(), "#d9eaf7");
    EXPECT_EQ(cellColour(1).name(), "#eaf3fb");
    EXPECT_EQ(cellColour(4).name(), "#d9eaf7");
    grid->setFocusedSourceRow(2);
    grid->tableView()->clearFocus();
    EXPECT_EQ(cellColour(2).name(), "#a4c4eb"); // the focus is elsewhere
    grid->activateWindow();
    grid->tableView()->setFocus();
    QApplication::processEvents();
    if (!grid->tableView()->hasFocus())
        GTEST_SKIP() << "the platform gives no focus";
    EXPECT_EQ(cellColour(2).name(), "#316ac5");
    const QImage img = grid->tableView()->viewport()->grab().toImage();
    const QRect r = grid->tableView()->visualRect(view().index(2, 0));
    bool whiteText = false;
    for (int x = r.left(); x < r.right(); ++x)
        for (int y = r.top(); y < r.bottom(); ++y)
            whiteText |= img.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(whiteText);
}

TEST_F(GridLook, TheOtherElementsTakeTheirStyles) {
    auto *t = grid->tableView();
    // Below the last row: the background.
    const QImage rows = t->viewport()->grab().toImage();
    EXPECT_EQ(rows.pixelColor(5, rows.height() - 3).name(), "#fffbf0");
    // Header: blue, its caption in white (the text colour, not the font's window-text colour).
    auto *h = grid->filterHeader();
    const QImage header = h->viewport()->grab().toImage();
    EXPECT_EQ(header.pixelColor(h->sectionViewportPosition(1) + 2, 3).name(), "#316ac5");
    int white = 0, dark = 0;
    for (int x = h->sectionViewportPosition(0); x < h->sectionViewportPosition(0) + h->sectionSize(0) - 1; ++x)
        for (int y = 0; y < header.height() - 1; ++y) {
            const QColor c = header.pixelColor(x, y);
            white += c == QColor(Qt::white);
            dark += c.red() < 60 && c.green() < 60 && c.blue() < 60;
        }
    EXPECT_GT(white, 0);
    EXPECT_EQ(dark, 0);
    EXPECT_EQ(grid->groupByBox()->grab().toImage().pixelColor(2, 2).name(), "#fed547");
    const QImage indicator = grid->rowIndicator()->viewport()->grab().toImage();
    EXPECT_EQ(indicator.pixelColor(2, 2).name(), "#a4c4eb");
    EXPECT_EQ(filterEditor(0)->palette().color(QPalette::Base).name(), "#ffffe1");
    // Group rows across the whole width.
    grid->setGroupColumns({{1, Qt::AscendingOrder}});
    QApplication::processEvents();
    ASSERT_TRUE(view().isGroupRow(0));
    EXPECT_EQ(cellColour(0, 1).name(), "#f1efe2");
    EXPECT_EQ(cellColour(0, 4).name(), "#f1efe2");
}

TEST_F(GridLook, TheIndicatorMarksTheFocusedRow) {
    auto *indicator = grid->rowIndicator();
    EXPECT_EQ(indicator->markedRow(), -1);
    grid->setFocusedSourceRow(3);
    EXPECT_EQ(indicator->markedRow(), 3);
    const QImage img = indicator->viewport()->grab().toImage();
    const int y = indicator->sectionViewportPosition(3) + indicator->sectionSize(3) / 2;
    bool mark = false;
    for (int x = 0; x < img.width(); ++x)
        mark |= img.pixelColor(x, y).name() != "#a4c4eb" && img.pixelColor(x, y).lightness() < 80;
    EXPECT_TRUE(mark);
}

} // namespace
