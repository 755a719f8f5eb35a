// The grid's context menu: "Copy" (Ctrl+C) of the selected rows as the grid shows them, and
// "Export CSV..." of every row that passes the filter row, as a spreadsheet reads it.
#include "CsvExport.h"
#include "GridContextMenu.h"
#include "GridStyleSheet.h"
#include "GridTestSupport.h"
#include "MessageRecorder.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace gridtest;
using wik::grid::CsvExport;
using wik::grid::DataGrid;
using wik::grid::DisplayKind;
using wik::grid::GridContextMenu;

namespace {

// Reads RFC 4180 text strictly: a record ends with CRLF (the last one too), a field is either
// plain or wholly quoted with its quotation marks doubled; a bare CR or LF outside quotes, a
// quotation mark inside a plain field or anything after a closing quote is a fault.
std::optional<QList<QStringList>> parseCsv(const QString &text, QChar separator = u',') {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    i += 2;
                    continue;
                }
                inQuotes = false;
            } else {
                field += c;
            }
            ++i;
            continue;
        }
        if (c == separator || c == u'\r') {
            if (c == u'\r' && (i + 1 >= n || text[i + 1] != u'\n')) {
                ADD_FAILURE() << "a bare CR outside quotes at " << i;
                return std::nullopt;
            }
            record << field;
            field.clear();
            wasQuoted = false;
            if (c == u'\r') {
                records << record;
                record.clear();
                ++i;
            }
            ++i;
            continue;
        }
        if (c == u'\n' || (c == u'"' && !field.isEmpty()) || wasQuoted) {
            ADD_FAILURE() << "an unquoted LF, a stray quotation mark or text after a closing quote at " << i;
            return std::nullopt;
        }
        if (c == u'"')
            inQuotes = wasQuoted = true;
        else
            field += c;
        ++i;
    }
    if (inQuotes || !field.isEmpty() || !record.isEmpty()) {
        ADD_FAILURE() << "the text ends inside a record";
        return std::nullopt;
    }
    return records;
}

// The file's text after its byte-order mark; a missing mark is a failure.
QString withoutByteOrderMark(const QByteArray &bytes) {
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "no UTF-8 byte-order mark";
    return QString::fromUtf8(bytes.mid(3));
}

QByteArray exported(const wik::grid::GridViewModel &model, const QList<int> &columns) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvExport().write(buffer, model, columns);
    return buffer.data();
}

QStringList columnOf(const QList<QStringList> &records, int column) {
    QStringList out;
    for (qsizetype r = 1; r < records.size(); ++r) // after the captions
        out << records[r].value(column);
    return out;
}

TEST(CsvField, QuotesOnlyWhatWouldBreakTheRecord) {
    const struct {
        const char16_t *text;
        QChar separator;
        const char16_t *field;
    } cases[] = {
        {u"Ana Pop", u',', u"Ana Pop"},
        {u"", u',', u""},
        {u"Cluj, Nord", u',', u"\"Cluj, Nord\""},
        {u"Cluj, Nord", u';', u"Cluj, Nord"},
        {u"Cluj; Nord", u';', u"\"Cluj; Nord\""},
        {u"spune \"da\"", u',', u"\"spune \"\"da\"\"\""},
        {u"\"", u',', u"\"\"\"\""},
        {u"rand\nnou", u',', u"\"rand\nnou\""},
        {u"rand\rnou", u',', u"\"rand\rnou\""},
        {u"tab\tinauntru", u',', u"tab\tinauntru"}, // no special character in RFC 4180
        {u" spatii ", u',', u" spatii "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CsvExport(c.separator).field(QString::fromUtf16(c.text)), QString::fromUtf16(c.field))
            << "separator " << QString(c.separator).toStdString();
    EXPECT_EQ(CsvExport().record({"a", "b,c", ""}), QByteArray("a,\"b,c\",\r\n"));
}

TEST(CsvExportFile, AwkwardCellsComeBackFromTheFileAsTheyWere) {
    ensureApplication();
    const QVariant null;
    TypedModel model({"text", "memo", "created_at", "delivery_date"},
                     {
                         {"virgula, aici", "rand unu\nrand doi", at("2026-12-01T09:05:07"), QDate(2026, 12, 3)},
                         {"ghilimele \"da\"", "CR LF\r\ninauntru", null, null},
                         {"doar\rCR", "tab\tin memo", at("2026-01-02T03:04:05"), QDate(2026, 1, 2)},
                         {"tab\taici", QString(), null, null},
                         {"Ștefan Țăndărică", null, null, null},
                         {null, "\"\"", null, null},
                         {" spatii ", ",;\"\r\n", null, null},
                     });
    DataGrid grid;
    grid.setColumns({{"text", 0, -1, DisplayKind::PlainText, {}},
                     {"memo", 1, -1, DisplayKind::Memo, {}},
                     {"data_cmd_c", 2, -1, DisplayKind::DateTime, "yyyy-mm-dd hh:nn:ss"},
                     {{}, 3, -1, DisplayKind::ShortDate, {}}});
    grid.setSourceModel(&model);

    const auto records = parseCsv(withoutByteOrderMark(exported(*grid.viewModel(), {0, 1, 2, 3})));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), model.rows.size() + 1);
    // A column without a caption of its own is headed by the data's column name.
    EXPECT_EQ(records->front(), (QStringList{"text", "memo", "data_cmd_c", "delivery_date"}));
    for (int r = 0; r < model.rows.size(); ++r) {
        const QStringList &got = (*records)[r + 1];
        SCOPED_TRACE(r);
        ASSERT_EQ(got.size(), 4);
        EXPECT_EQ(got[0], model.rows[r][0].toString()); // NULL: an empty field
        EXPECT_EQ(got[1], model.rows[r][1].toString()); // the memo with its line breaks
        // Dates as the grid shows them.
        EXPECT_EQ(got[2], grid.viewModel()->displayText(r, 2));
        EXPECT_EQ(got[3], grid.viewModel()->displayText(r, 3));
    }
    EXPECT_EQ((*records)[1][2], "2026-12-01 09:05:07");
    EXPECT_FALSE((*records)[1][3].isEmpty());
    EXPECT_EQ((*records)[2][2], "");
}

class GridExport : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        menu = grid->contextMenu();
        ASSERT_NE(menu, nullptr);
        menu->setFileNameAsker([this](QWidget *, const QString &suggested) {
            suggestedPaths << suggested;
            return answer;
        });
    }
    void TearDown() override {
        QApplication::clipboard()->clear();
        GridFixture::TearDown();
    }
    // Clients containing "o", clients descending, grouped by location with the groups closed.
    void filterSortAndGroup() {
        typeText(filterEditor(0), "o");
        grid->setSortColumns({{0, Qt::DescendingOrder}});
        grid->setGroupColumns({{1, Qt::AscendingOrder}});
        grid->setAllGroupsExpanded(false);
    }
    QList<QStringList> exportedRecords() {
        answer = folder.filePath("log.csv");
        menu->exportCsvAction()->trigger();
        QFile file(answer);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "no file written";
            return {};
        }
        return parseCsv(withoutByteOrderMark(file.readAll())).value_or(QList<QStringList>{});
    }
    // What the operator could notice of the grid, apart from the rows themselves.
    QStringList state() const {
        const auto *t = grid->tableView();
        QStringList s;
        s << QString::number(grid->focusedSourceRow()) << QString::number(t->currentIndex().row())
          << QString::number(t->currentIndex().column()) << QString::number(view().rowCount())
          << QString::number(t->horizontalScrollBar()->value()) << QString::number(t->verticalScrollBar()->value())
          << QString::number(t->selectionModel()->selection().size())
          << QString::number(QApplication::focusWidget() == t);
        for (int c = 0; c < grid->columns().size(); ++c)
            s << grid->filterText(c);
        for (const auto &sc : grid->sortColumns() + grid->groupColumns())
            s << QStringLiteral("%1:%2").arg(sc.column).arg(int(sc.order));
        return s;
    }
    bool focusTable() {
        grid->activateWindow();
        grid->tableView()->setFocus();
        return QTest::qWaitForWindowActive(grid.get()) && grid->tableView()->hasFocus();
    }

    QTemporaryDir folder;
    GridContextMenu *menu = nullptr;
    QString answer;
    QStringList suggestedPaths;
};

TEST_F(GridExport, ExportsEveryRowPassingTheFilterInTheGridsOrderClosedGroupsIncluded) {
    filterSortAndGroup();
    // The operator moved the date column to the front.
    grid->filterHeader()->moveSection(2, 0);
    const QList<QStringList> records = exportedRecords();
    ASSERT_EQ(records.size(), 5);
    EXPECT_EQ(records[0], (QStringList{"data_cmd_c", "client", "locatie", "delivery_date", "amount"}));
    EXPECT_EQ(columnOf(records, 1), walkOrder());
    EXPECT_EQ(columnOf(records, 1), (QStringList{"Tudor Șerban", "Ana Pop", "Ștefan Ionescu", "Sorin Tudor"}));
    EXPECT_EQ(columnOf(records, 2), (QStringList{"Cluj", "Cluj", "Iași", "Iași"}));
    EXPECT_EQ(records[2][0], "2026-12-01 09:05:07");
    EXPECT_EQ(records[1][3], ""); // NULL
    EXPECT_EQ(records[2][4], "10");
    // No filter: every row, in the data's own order.
    grid->setGroupColumns({});
    grid->setSortColumns({});
    grid->setFilterText(0, QString());
    EXPECT_EQ(columnOf(exportedRecords(), 1),
              (QStringList{"Ana Pop", "Ștefan Ionescu", "Dan Marin", "ana maria", "Sorin Tudor", "Tudor Șerban"}));
}

TEST_F(GridExport, TheExportLeavesTheGridAsItWas) {
    filterSortAndGroup();
    grid->setFocusedSourceRow(sourceRowOf("Ana Pop")); // opens its group
    grid->resize(260, 120);
    QApplication::processEvents();
    auto *t = grid->tableView();
    t->horizontalScrollBar()->setValue(t->horizontalScrollBar()->maximum());
    t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
    const bool focused = focusTable();
    const QStringList before = state();
    ASSERT_GT(t->horizontalScrollBar()->value(), 0);
    QSignalSpy moved(grid.get(), &DataGrid::focusedSourceRowChanged);

    EXPECT_EQ(exportedRecords().size(), 5);
    EXPECT_EQ(state(), before);
    // An existing file is replaced; the dialog suggests the last folder.
    EXPECT_EQ(exportedRecords().size(), 5);
    EXPECT_EQ(suggestedPaths.value(1), folder.filePath("export.csv"));
    // Giving up in the dialog writes nothing.
    answer.clear();
    menu->exportCsvAction()->trigger();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(moved.count(), 0);
    if (!focused)
        GTEST_SKIP() << "the platform gives no focus";
}

TEST_F(GridExport, AFailedWriteShowsTheReasonAndChangesNothing) {
    MessageRecorder recorder;
    filterSortAndGroup();
    grid->setFocusedSourceRow(sourceRowOf("Sorin Tudor"));
    const QStringList before = state();
    // As root a read-only folder is writable; nothing can be written under a regular file.
    for (const QString &path : {QStringLiteral("/etc/hostname/x.csv"), folder.path()}) {
        SCOPED_TRACE(path.toStdString());
        recorder.clear();
        answer = path;
        menu->exportCsvAction()->trigger();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].kind, RecordedMessage::Error);
        EXPECT_TRUE(recorder.messages[0].text.startsWith(QStringLiteral("Fisierul \"%1\" nu a putut fi scris: ").arg(path)))
            << recorder.messages[0].text.toStdString();
        EXPECT_GT(recorder.messages[0].text.size(), QStringLiteral("Fisierul \"%1\" nu a putut fi scris: .").arg(path).size());
        EXPECT_EQ(state(), before);
    }
    EXPECT_FALSE(QFileInfo::exists("/etc/hostname/x.csv"));
}

TEST_F(GridExport, CtrlCCopiesTheSelectedRowsAsShown) {
    if (!focusTable())
        GTEST_SKIP() << "the platform gives no focus";
    auto *t = grid->tableView();
    model->setValue(sourceRowOf("Dan Marin"), 1, "Cluj\tNord\r\nZona");
    grid->setSortColumns({{0, Qt::AscendingOrder}});
    grid->filterHeader()->moveSection(4, 0);
    // Clients: ana maria, Ana Pop, Dan Marin, Sorin Tudor, Ștefan Ionescu, Tudor Șerban.
    grid->setFocusedSourceRow(sourceRowOf("Ana Pop"));
    // The operator extends the selection one row down: an operator move of the focused row.
    QSignalSpy moved(grid.get(), &DataGrid::focusedSourceRowChanged);
    QTest::keyClick(t, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(focusedClient(), "Dan Marin");
    QTest::keyClick(t, Qt::Key_C, Qt::ControlModifier);
    const auto line = [this](const QString &client) {
        const int r = sourceRowOf(client);
        return QStringList{view().displayText(r, 4), view().displayText(r, 0), view().displayText(r, 1),
                           view().displayText(r, 2), view().displayText(r, 3)}
            .join('\t');
    };
    const QString dan = "30\tDan Marin\tCluj Nord Zona\t2026-12-02 07:30:00\t" + view().displayText(sourceRowOf("Dan Marin"), 3);
    EXPECT_EQ(QApplication::clipboard()->text(), line("Ana Pop") + "\n" + dan);
    // Ctrl+click adds a row further down; the copy keeps the table's order.
    const QRect tudor = t->visualRect(view().index(view().rowOfSourceRow(sourceRowOf("Tudor Șerban")), 1));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::ControlModifier, tudor.center());
    EXPECT_EQ(focusedClient(), "Tudor Șerban");
    menu->copyAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), line("Ana Pop") + "\n" + dan + "\n" + line("Tudor Șerban"));
    // Nothing selected: the focused row.
    t->selectionModel()->clearSelection();
    QTest::keyClick(t, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), line("Tudor Șerban"));
    // In a filter editor Ctrl+C is the editor's own.
    filterEditor(1)->setText("cluj");
    filterEditor(1)->selectAll();
    filterEditor(1)->setFocus();
    QTest::keyClick(filterEditor(1), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "cluj");
}

TEST_F(GridExport, AGroupRowCopiesAsItsCaptionLine) {
    grid->setGroupColumns({{1, Qt::AscendingOrder}});
    grid->setAllGroupsExpanded(false);
    grid->setGroupExpandedAt(0, true); // Brașov, the first group, holds one row
    auto *t = grid->tableView();
    // Its group row and its data row selected, the closed Cluj group row below not.
    ASSERT_TRUE(view().isGroupRow(0));
    ASSERT_FALSE(view().isGroupRow(1));
    t->selectionModel()->select(QItemSelection(view().index(0, 0), view().index(1, 4)),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    menu->copySelection();
    const int r = sourceRowOf("ana maria");
    EXPECT_EQ(QApplication::clipboard()->text(),
              "locatie : Brașov (1)\nana maria\tBrașov\t\t" + view().displayText(r, 3) + "\t10");
}

TEST_F(GridExport, TheMenuOpensOnTheRowsFromTheMouseAndTheKeyboard) {
    auto *t = grid->tableView();
    QMenu *popup = menu->menu();
    const QList<QAction *> actions = popup->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "Copy");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(actions[1]->text(), "Export CSV...");
    const QPoint cell = t->visualRect(view().index(2, 1)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, cell, t->viewport()->mapToGlobal(cell));
    QApplication::sendEvent(t->viewport(), &click);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), t->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(t, &key);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    // The captions are no rows: no grid menu there.
    QContextMenuEvent onHeader(QContextMenuEvent::Mouse, QPoint(5, 5), grid->filterHeader()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid->filterHeader()->viewport(), &onHeader);
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(GridExport, SelectedRowsTakeTheSelectionColours) {
    wik::grid::GridStyleSheet sheet = wik::grid::GridStyleSheet::devExpress();
    grid->setStyleSheet(&sheet);
    grid->setFocusedSourceRow(1);
    grid->tableView()->selectionModel()->select(view().index(3, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->tableView()->clearFocus();
    QApplication::processEvents();
    auto *t = grid->tableView();
    const QImage img = t->viewport()->grab().toImage();
    const auto colour = [&](int row) {
        const QRect r = t->visualRect(view().index(row, 1));
        return img.pixelColor(r.right() - 2, r.top() + 2).name();
    };
    EXPECT_EQ(colour(1), "#a4c4eb"); // the focused row, the focus being elsewhere
    EXPECT_EQ(colour(3), "#a4c4eb");
    EXPECT_EQ(colour(2), "#d9eaf7");
}

} // namespace
