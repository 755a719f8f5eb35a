#include "GridTestSupport.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace gridtest;

namespace {

class FilterRow : public GridFixture {
protected:
    void type(int column, const QString &text) { typeText(filterEditor(column), text); }
};

TEST_F(FilterRow, EachKeystrokeFiltersAtOnce) {
    ASSERT_NE(filterEditor(0), nullptr);
    QTest::keyClick(filterEditor(0), 'a');
    EXPECT_EQ(grid->FilteredRecordCount(), 5); // every client with an "a" in it
    QTest::keyClick(filterEditor(0), 'n');
    EXPECT_EQ(grid->FilteredRecordCount(), 5);
    QTest::keyClick(filterEditor(0), 'a');
    EXPECT_EQ(shown(), (QStringList{"Ana Pop", "ana maria"}));
    // Deleting brings the rows back, at once too.
    QTest::keyClick(filterEditor(0), Qt::Key_Backspace);
    QTest::keyClick(filterEditor(0), Qt::Key_Backspace);
    EXPECT_EQ(grid->FilteredRecordCount(), 5);
    filterEditor(0)->clear();
    EXPECT_EQ(grid->FilteredRecordCount(), 6);
}

struct MatchCase {
    int column;
    const char *typed;
    QStringList clients;
};

TEST_F(FilterRow, MatchesTheDisplayTextIgnoringCaseButNotDiacritics) {
    const std::vector<MatchCase> cases{
        {0, "ANA", {"Ana Pop", "ana maria"}},
        {0, "șt", {"Ștefan Ionescu"}},
        {0, "ȘT", {"Ștefan Ionescu"}},
        {0, "st", {}},
        {1, "iaș", {"Ștefan Ionescu", "Sorin Tudor"}},
        // Date-times match as they are shown; a NULL cell passes no filter.
        {2, "12-01 09:05", {"Ana Pop", "Sorin Tudor"}},
        {2, "2026", {"Ana Pop", "Ștefan Ionescu", "Dan Marin", "Sorin Tudor", "Tudor Șerban"}},
        {4, "10", {"Ana Pop", "ana maria"}},
    };
    for (const auto &c : cases) {
        filterEditor(c.column)->clear();
        type(c.column, QString::fromUtf8(c.typed));
        EXPECT_EQ(shown(), c.clients) << c.typed;
        filterEditor(c.column)->clear();
    }
}

TEST_F(FilterRow, SeveralEditorsMustAllMatch) {
    type(0, "an");
    type(1, "CLUJ");
    EXPECT_EQ(shown(), (QStringList{"Ana Pop", "Dan Marin", "Tudor Șerban"}));
    type(0, "a ");
    EXPECT_EQ(shown(), (QStringList{"Ana Pop"}));
    EXPECT_EQ(grid->filterText(0), "ana ");
    EXPECT_EQ(grid->filterText(1), "CLUJ");
}

TEST_F(FilterRow, AnUnchangedTextDoesNotRebuildTheRows) {
    type(0, "ana");
    QSignalSpy rebuilt(grid->viewModel(), &QAbstractItemModel::modelReset);
    QTest::keyClick(filterEditor(0), Qt::Key_Return);
    grid->setFilterText(0, "ana");
    EXPECT_EQ(rebuilt.count(), 0);
    // Only the case changed: the same filter.
    grid->setFilterText(0, "ANA");
    EXPECT_EQ(rebuilt.count(), 0);
    EXPECT_EQ(grid->FilteredRecordCount(), 2);
}

TEST_F(FilterRow, TheFocusedRowStaysWhileItPassesElseTheFirstRowTakesTheFocus) {
    grid->setFocusedSourceRow(sourceRowOf("ana maria"));
    QSignalSpy moved(grid.get(), &wik::grid::DataGrid::focusedSourceRowChanged);
    type(0, "ana");
    EXPECT_EQ(focusedClient(), "ana maria");
    EXPECT_EQ(moved.count(), 0);
    type(1, "cluj");
    EXPECT_EQ(focusedClient(), "Ana Pop");
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), sourceRowOf("Ana Pop"));
    type(1, "x");
    EXPECT_EQ(grid->focusedSourceRow(), -1);
    EXPECT_EQ(moved.count(), 2);
}

TEST_F(FilterRow, EditorsStayUnderTheirColumns) {
    auto *header = grid->filterHeader();
    auto *table = grid->tableView();
    grid->resize(400, 300); // narrower than the columns: the table scrolls sideways
    QApplication::processEvents();
    const auto aligned = [&](const char *step) {
        for (int i = 0; i < header->count(); ++i) {
            const QLineEdit *e = filterEditor(i);
            EXPECT_EQ(e->x(), header->sectionViewportPosition(i)) << step << " column " << i;
            EXPECT_EQ(e->width(), header->sectionSize(i)) << step << " column " << i;
            EXPECT_GE(e->y(), header->viewport()->height() - 1) << step;
        }
    };
    const std::vector<std::pair<const char *, std::function<void()>>> steps{
        {"start", [] {}},
        {"resize", [&] { header->resizeSection(0, 200); }},
        {"move", [&] { header->moveSection(2, 0); }},
        {"scroll", [&] { table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum()); }},
        {"scroll back", [&] { table->horizontalScrollBar()->setValue(17); }},
    };
    for (const auto &[name, step] : steps) {
        step();
        QApplication::processEvents();
        aligned(name);
    }
    EXPECT_GT(table->horizontalScrollBar()->value(), 0);
    // The strip under the captions is the editors' own.
    EXPECT_EQ(header->sizeHint().height(),
              header->viewport()->height() + filterEditor(0)->height());
}

} // namespace
