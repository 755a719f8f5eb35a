#include "GridTestSupport.h"
#include "GroupByBox.h"

#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace gridtest;
using wik::grid::SortColumn;

namespace {

class Sorting : public GridFixture {
protected:
    void clickCaption(int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        auto *h = grid->filterHeader();
        const QPoint at(h->sectionViewportPosition(column) + 10, h->viewport()->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, modifiers, at);
    }
};

TEST_F(Sorting, CaptionClicksSortAscendingThenDescending) {
    clickCaption(0);
    EXPECT_EQ(shown(), (QStringList{"ana maria", "Ana Pop", "Dan Marin", "Sorin Tudor", "Ștefan Ionescu",
                                    "Tudor Șerban"}));
    clickCaption(0);
    EXPECT_EQ(shown(), (QStringList{"Tudor Șerban", "Ștefan Ionescu", "Sorin Tudor", "Dan Marin", "Ana Pop",
                                    "ana maria"}));
    EXPECT_EQ(grid->sortColumns(), (QList<SortColumn>{{0, Qt::DescendingOrder}}));
}

TEST_F(Sorting, TypedValuesSortByValueNullFirstAndTiesKeepTheDataOrder) {
    clickCaption(4); // amounts: numbers, not texts ("10" before "2")
    EXPECT_EQ(shown(4), (QStringList{"", "2", "7", "10", "10", "30"}));
    EXPECT_EQ(shown(), (QStringList{"Tudor Șerban", "Ștefan Ionescu", "Sorin Tudor", "Ana Pop", "ana maria",
                                    "Dan Marin"}));
    clickCaption(2); // date-times in time order; the two orders placed at 09:05:07 keep theirs
    EXPECT_EQ(shown(), (QStringList{"ana maria", "Tudor Șerban", "Ștefan Ionescu", "Ana Pop", "Sorin Tudor",
                                    "Dan Marin"}));
}

TEST_F(Sorting, ShiftAddsASortColumnAndCtrlRemovesOne) {
    clickCaption(2);
    clickCaption(2); // created_at descending; NULL last
    EXPECT_EQ(shown(), (QStringList{"Dan Marin", "Ana Pop", "Sorin Tudor", "Ștefan Ionescu", "Tudor Șerban",
                                    "ana maria"}));
    clickCaption(0, Qt::ShiftModifier);
    clickCaption(0, Qt::ShiftModifier); // then client descending: the 09:05:07 tie turns round
    EXPECT_EQ(shown(), (QStringList{"Dan Marin", "Sorin Tudor", "Ana Pop", "Ștefan Ionescu", "Tudor Șerban",
                                    "ana maria"}));
    EXPECT_EQ(grid->sortColumns(),
              (QList<SortColumn>{{2, Qt::DescendingOrder}, {0, Qt::DescendingOrder}}));
    clickCaption(2, Qt::ControlModifier);
    EXPECT_EQ(grid->sortColumns(), (QList<SortColumn>{{0, Qt::DescendingOrder}}));
    EXPECT_EQ(shown().first(), "Tudor Șerban");
    clickCaption(0, Qt::ControlModifier);
    EXPECT_TRUE(grid->sortColumns().isEmpty());
    EXPECT_EQ(shown(), (QStringList{"Ana Pop", "Ștefan Ionescu", "Dan Marin", "ana maria", "Sorin Tudor",
                                    "Tudor Șerban"}));
}

TEST_F(Sorting, AResizeOfAColumnIsNoSortClick) {
    auto *h = grid->filterHeader();
    const int edge = h->sectionViewportPosition(0) + h->sectionSize(0) - 1;
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
    QTest::mouseMove(h->viewport(), QPoint(edge + 30, 5));
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(edge + 30, 5));
    EXPECT_TRUE(grid->sortColumns().isEmpty());
}

class Grouping : public GridFixture {
protected:
    // A column header (or a group button) let go over the group-by box at x.
    void dropOnBox(int column, int x) {
        QMimeData mime;
        mime.setData(wik::grid::FilterHeader::columnMimeType(), QByteArray::number(column));
        auto *box = grid->groupByBox();
        const QPoint at(x, box->height() / 2);
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        QApplication::processEvents();
    }
    int rowOfText(const QString &text) const { return int(shown().indexOf(text)); }
    void focusRow(int row) {
        grid->tableView()->setCurrentIndex(view().index(row, 0));
    }
};

TEST_F(Grouping, AHeaderDroppedOnTheBoxGroupsTheRows) {
    EXPECT_TRUE(grid->groupByBox()->buttons().isEmpty());
    dropOnBox(1, 10);
    EXPECT_EQ(shown(), (QStringList{"[locatie : Brașov (1)]", "[locatie : Cluj (3)]", "[locatie : Iași (2)]"}));
    ASSERT_EQ(grid->groupByBox()->buttons().size(), 1);
    EXPECT_EQ(grid->groupByBox()->buttons()[0].caption, "locatie");
    // Group rows never count.
    EXPECT_EQ(grid->FilteredRecordCount(), 6);
}

TEST_F(Grouping, KeysAndClicksExpandAndCollapse) {
    dropOnBox(1, 10);
    const QString cluj = "[locatie : Cluj (3)]";
    focusRow(rowOfText(cluj));
    auto *table = grid->tableView();
    QTest::keyClick(table, Qt::Key_Plus);
    EXPECT_EQ(shown(), (QStringList{"[locatie : Brașov (1)]", cluj, "Ana Pop", "Dan Marin", "Tudor Șerban",
                                    "[locatie : Iași (2)]"}));
    EXPECT_EQ(table->currentIndex().row(), rowOfText(cluj)); // the operator stays on the group row
    QTest::keyClick(table, Qt::Key_Minus);
    EXPECT_EQ(shown().size(), 3);
    QTest::keyClick(table, Qt::Key_Right);
    EXPECT_EQ(shown().size(), 6);
    QTest::keyClick(table, Qt::Key_Left);
    EXPECT_EQ(shown().size(), 3);
    const int iasi = rowOfText("[locatie : Iași (2)]");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->expandButtonRect(iasi).center());
    EXPECT_EQ(shown().mid(iasi), (QStringList{"[locatie : Iași (2)]", "Ștefan Ionescu", "Sorin Tudor"}));
    const QRect brasov = table->visualRect(view().index(0, 1));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, brasov.center());
    EXPECT_EQ(shown().mid(0, 2), (QStringList{"[locatie : Brașov (1)]", "ana maria"}));
}

TEST_F(Grouping, SeveralLevelsReorderAndUngroup) {
    dropOnBox(1, 10);
    dropOnBox(4, grid->groupByBox()->buttonRect(0).right() + 20); // inner level
    grid->setAllGroupsExpanded(true);
    EXPECT_EQ(shown().mid(0, 4), (QStringList{"[locatie : Brașov (1)]", "[amount : 10 (1)]", "ana maria",
                                              "[locatie : Cluj (3)]"}));
    EXPECT_EQ(shown().mid(4, 6), (QStringList{"[amount :  (1)]", "Tudor Șerban", "[amount : 10 (1)]",
                                              "Ana Pop", "[amount : 30 (1)]", "Dan Marin"}));
    // The location button let go right of the amount one: amount becomes the outer level.
    dropOnBox(1, grid->groupByBox()->buttonRect(1).right() + 20);
    EXPECT_EQ(grid->groupColumns(), (QList<SortColumn>{{4, Qt::AscendingOrder}, {1, Qt::AscendingOrder}}));
    EXPECT_EQ(shown().first(), "[amount :  (1)]");
    // A click on a group button reverses its order.
    auto *box = grid->groupByBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, box->buttonRect(0).center());
    EXPECT_EQ(grid->groupColumns().first().order, Qt::DescendingOrder);
    EXPECT_EQ(view().index(0, 0).data().toString(), "amount : 30 (1)");
    // Dragged out of the box and let go elsewhere, the button ends that grouping.
    const QPoint from = box->buttonRect(0).center();
    QTest::mousePress(box, Qt::LeftButton, {}, from);
    QTest::mouseMove(box, from + QPoint(0, 200));
    QTest::mouseRelease(box, Qt::LeftButton, {}, from + QPoint(0, 200));
    EXPECT_EQ(grid->groupColumns(), (QList<SortColumn>{{1, Qt::AscendingOrder}}));
    grid->ungroup(1);
    EXPECT_TRUE(grid->groupColumns().isEmpty());
    EXPECT_EQ(shown().size(), 6);
    EXPECT_EQ(box->buttons().size(), 0);
}

TEST_F(Grouping, ACaptionClickOnAGroupingColumnReversesTheGroups) {
    dropOnBox(1, 10);
    auto *h = grid->filterHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(1) + 10, 5));
    EXPECT_EQ(shown(), (QStringList{"[locatie : Iași (2)]", "[locatie : Cluj (3)]", "[locatie : Brașov (1)]"}));
    EXPECT_TRUE(grid->sortColumns().isEmpty());
}

TEST_F(Grouping, OpenGroupsStayOpenWhileTheFilterChanges) {
    dropOnBox(1, 10);
    grid->setFocusedSourceRow(sourceRowOf("Dan Marin")); // its group opens
    focusRow(rowOfText("[locatie : Iași (2)]"));
    QTest::keyClick(grid->tableView(), Qt::Key_Plus);
    typeText(filterEditor(0), "an");
    EXPECT_EQ(shown(), (QStringList{"[locatie : Brașov (1)]", "[locatie : Cluj (3)]", "Ana Pop", "Dan Marin",
                                    "Tudor Șerban", "[locatie : Iași (1)]", "Ștefan Ionescu"}));
    // The focused row leaves: the first row in the grid's order takes the focus, its group opens.
    typeText(filterEditor(0), "a");
    EXPECT_EQ(shown(), (QStringList{"[locatie : Brașov (1)]", "ana maria", "[locatie : Cluj (1)]", "Ana Pop"}));
    EXPECT_EQ(focusedClient(), "ana maria");
    filterEditor(0)->clear();
    EXPECT_EQ(shown().size(), 9); // Iasi comes back open
}

} // namespace

namespace {

TEST_F(Grouping, ACaptionDraggedOutOfTheHeaderNeitherMovesNorSortsTheColumn) {
    auto *h = grid->filterHeader();
    const QPoint start(h->sectionViewportPosition(2) + 10, 5);
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(h->viewport(), start + QPoint(40, 0));
    QTest::mouseMove(h->viewport(), start + QPoint(40, -60));
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, start + QPoint(40, -60));
    EXPECT_EQ(h->visualIndex(2), 2);
    EXPECT_TRUE(grid->sortColumns().isEmpty());
}

} // namespace
