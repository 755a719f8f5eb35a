#include "GridNavigator.h"
#include "GridTestSupport.h"
#include "RowIndicator.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace gridtest;
using wik::grid::DataGrid;
using wik::grid::SortColumn;

namespace {

class DataController : public GridFixture {
protected:
    // Clients containing "o", grouped by location (groups closed), clients descending:
    // Cluj: Tudor Șerban, Ana Pop; Iași: Ștefan Ionescu, Sorin Tudor.
    void filterSortAndGroup() {
        typeText(filterEditor(0), "o");
        grid->setSortColumns({{0, Qt::DescendingOrder}});
        grid->setGroupColumns({{1, Qt::AscendingOrder}});
        grid->setAllGroupsExpanded(false);
    }
    // The walk of "import all": first row, then count - 1 times the next one.
    QStringList walk() {
        QStringList visited;
        grid->GotoFirst();
        const int count = grid->FilteredRecordCount();
        for (int i = 0; i < count; ++i) {
            visited << focusedClient();
            grid->GotoNext();
        }
        return visited;
    }
    QToolButton *nav(const char *name) const { return grid->findChild<QToolButton *>(name); }
    QString info() const { return grid->findChild<QLabel *>("navInfo")->text(); }
};

TEST_F(DataController, CountAndWalkAgreeWithFilterSortAndClosedGroups) {
    filterSortAndGroup();
    EXPECT_EQ(shown(), (QStringList{"[locatie : Cluj (2)]", "[locatie : Iași (2)]"}));
    EXPECT_EQ(grid->FilteredRecordCount(), 4);
    const QStringList expected{"Tudor Șerban", "Ana Pop", "Ștefan Ionescu", "Sorin Tudor"};
    EXPECT_EQ(walkOrder(), expected);
    QSignalSpy moved(grid.get(), &DataGrid::focusedSourceRowChanged);
    EXPECT_EQ(walk(), expected);
    // Each step moved the owner's current row; the end was reached once.
    ASSERT_EQ(moved.count(), 4);
    EXPECT_EQ(moved.at(2).at(0).toInt(), sourceRowOf("Ștefan Ionescu"));
    EXPECT_TRUE(grid->IsEof());
    EXPECT_FALSE(grid->GotoNext());
    EXPECT_EQ(focusedClient(), "Sorin Tudor");
    // A focused row inside a closed group opens it and is the marked row.
    const int row = view().rowOfSourceRow(sourceRowOf("Sorin Tudor"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(grid->tableView()->currentIndex().row(), row);
    EXPECT_EQ(grid->rowIndicator()->markedRow(), row);
    grid->GotoFirst();
    EXPECT_FALSE(grid->IsEof());
}

TEST_F(DataController, NoRowPassingMeansNoWalk) {
    typeText(filterEditor(0), "zzz");
    EXPECT_EQ(grid->FilteredRecordCount(), 0);
    grid->GotoFirst();
    EXPECT_EQ(grid->focusedSourceRow(), -1);
    EXPECT_FALSE(grid->GotoNext());
    EXPECT_TRUE(grid->IsEof());
}

TEST_F(DataController, ARowThatLeftTheFilterIsFollowedByTheNextOneInOrder) {
    typeText(filterEditor(1), "cluj");
    grid->GotoFirst();
    grid->GotoNext();
    ASSERT_EQ(focusedClient(), "Dan Marin");
    // An import changed the row's values: it no longer passes, but stays the owner's row.
    model->setValue(sourceRowOf("Dan Marin"), 1, "Sibiu");
    EXPECT_EQ(focusedClient(), "Dan Marin");
    EXPECT_EQ(grid->FilteredRecordCount(), 2);
    EXPECT_EQ(grid->rowIndicator()->markedRow(), -1);
    EXPECT_TRUE(grid->GotoNext());
    EXPECT_EQ(focusedClient(), "Tudor Șerban");
}

TEST_F(DataController, OnlyOperatorMovesReachTheOwner) {
    QSignalSpy moved(grid.get(), &DataGrid::focusedSourceRowChanged);
    grid->setFocusedSourceRow(2);
    EXPECT_EQ(grid->focusedSourceRow(), 2);
    grid->setFocusedSourceRow(2);
    grid->setFocusedSourceRow(99); // no such row: nothing focused
    EXPECT_EQ(grid->focusedSourceRow(), -1);
    EXPECT_EQ(moved.count(), 0);
    auto *table = grid->tableView();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(view().index(3, 1)).center());
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 3);
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(grid->focusedSourceRow(), 4);
    EXPECT_EQ(moved.count(), 2);
    // On a group row the owner's row stays where it was.
    grid->setGroupColumns({{1, Qt::AscendingOrder}});
    moved.clear();
    table->setCurrentIndex(view().index(0, 0));
    ASSERT_TRUE(view().isGroupRow(0));
    EXPECT_EQ(grid->focusedSourceRow(), 4);
    EXPECT_EQ(moved.count(), 0);
}

TEST_F(DataController, NavigatorMovesThroughTheFilteredRowsAndTellsWhere) {
    for (const char *name : {"navFirst", "navPriorPage", "navPrior", "navNext", "navNextPage", "navLast"})
        ASSERT_NE(nav(name), nullptr) << name;
    EXPECT_EQ(info(), "Record 0 of 6");
    typeText(filterEditor(1), "i"); // the two orders from Iași
    EXPECT_EQ(info(), "Record 1 of 2");
    EXPECT_EQ(focusedClient(), "Ștefan Ionescu");
    EXPECT_FALSE(nav("navPrior")->isEnabled());
    EXPECT_FALSE(nav("navFirst")->isEnabled());
    nav("navNext")->click();
    EXPECT_EQ(focusedClient(), "Sorin Tudor");
    EXPECT_EQ(info(), "Record 2 of 2");
    EXPECT_FALSE(nav("navNext")->isEnabled());
    EXPECT_FALSE(nav("navLast")->isEnabled());
    filterEditor(1)->clear();
    EXPECT_EQ(info(), "Record 5 of 6");
    nav("navFirst")->click();
    EXPECT_EQ(info(), "Record 1 of 6");
    nav("navNextPage")->click(); // a page is more than the six rows
    EXPECT_EQ(info(), "Record 6 of 6");
    nav("navPrior")->click();
    EXPECT_EQ(focusedClient(), "Sorin Tudor");
    nav("navPriorPage")->click();
    EXPECT_EQ(info(), "Record 1 of 6");
    nav("navLast")->click();
    EXPECT_EQ(focusedClient(), "Tudor Șerban");
}

TEST_F(DataController, StateSurvivesTheOwnerReReadingItsRows) {
    typeText(filterEditor(0), "o");
    grid->setSortColumns({{0, Qt::DescendingOrder}});
    grid->setGroupColumns({{1, Qt::AscendingOrder}});
    grid->setAllGroupsExpanded(false);
    grid->setGroupExpandedAt(0, true); // Cluj
    auto *header = grid->filterHeader();
    header->resizeSection(0, 177);
    header->moveSection(3, 0);
    grid->setFocusedSourceRow(sourceRowOf("Ana Pop"));
    QSignalSpy moved(grid.get(), &DataGrid::focusedSourceRowChanged);

    // The list is read again: other order, a new row in Cluj, Ana Pop now third.
    auto rows = model->rows;
    rows.move(0, 2);
    rows.append({"Olga Rusu", "Cluj", at("2026-12-03T10:00:00"), QVariant(), qlonglong(1)});
    model->replaceRows(rows);

    EXPECT_EQ(filterEditor(0)->text(), "o");
    EXPECT_EQ(grid->filterText(0), "o");
    EXPECT_EQ(grid->sortColumns(), (QList<SortColumn>{{0, Qt::DescendingOrder}}));
    EXPECT_EQ(grid->groupColumns(), (QList<SortColumn>{{1, Qt::AscendingOrder}}));
    EXPECT_EQ(shown(), (QStringList{"[locatie : Cluj (3)]", "Tudor Șerban", "Olga Rusu", "Ana Pop",
                                    "[locatie : Iași (2)]"}));
    EXPECT_EQ(header->sectionSize(0), 177);
    EXPECT_EQ(header->visualIndex(3), 0);
    EXPECT_EQ(grid->FilteredRecordCount(), 5);
    // Until the owner says which row is current the same row number stays, silently.
    EXPECT_EQ(grid->focusedSourceRow(), 0);
    grid->setFocusedSourceRow(2);
    EXPECT_EQ(focusedClient(), "Ana Pop");
    EXPECT_EQ(grid->tableView()->currentIndex().row(), 3);
    EXPECT_EQ(moved.count(), 0);
    // Fewer rows than the focused row number: nothing focused.
    grid->setFocusedSourceRow(6);
    model->replaceRows(rows.mid(0, 2));
    EXPECT_EQ(grid->focusedSourceRow(), -1);
    EXPECT_EQ(moved.count(), 0);
}

TEST_F(DataController, CellsAreNeverEdited) {
    auto *table = grid->tableView();
    const QModelIndex cell = view().index(1, 1);
    EXPECT_FALSE(view().flags(cell) & Qt::ItemIsEditable);
    table->setFocus();
    table->setCurrentIndex(cell);
    const QPoint at = table->visualRect(cell).center();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(table, "xyz");
    QTest::keyClick(table, Qt::Key_Return);
    table->edit(cell);
    EXPECT_EQ(table->findChildren<QLineEdit *>().size(), grid->filterHeader()->editorCount());
    EXPECT_EQ(model->setDataCalls, 0);
    EXPECT_EQ(model->rows[1][1].toString(), "Iași");
}

} // namespace

namespace {

TEST_F(DataController, MovingTheFocusScrollsToTheRowButNotSideways) {
    auto rows = model->rows;
    for (int i = 0; i < 300; ++i)
        rows.append({QStringLiteral("Client %1").arg(i), "Arad", QVariant(), QVariant(), qlonglong(i)});
    model->replaceRows(rows);
    grid->resize(400, 300);
    QApplication::processEvents();
    auto *table = grid->tableView();
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    const int sideways = table->horizontalScrollBar()->value();
    ASSERT_GT(sideways, 0);
    grid->GotoFirst();
    grid->GotoLast();
    const QRect last = table->visualRect(view().index(view().rowCount() - 1, 4));
    EXPECT_TRUE(table->viewport()->rect().intersects(last));
    EXPECT_EQ(table->horizontalScrollBar()->value(), sideways);
}

} // namespace
