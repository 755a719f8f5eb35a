// The order workbench window against a real company database: which rows "Cauta" lists and in
// which order, the filter row and the walk over the grid's order, the re-read that keeps the
// operator's place, the date box at each showing, the read-only grid, the window as designed and
// the viewer's entry point.
#include "WorkbenchFixture.h"

#include "DBMemo.h"
#include "DataGrid.h"
#include "DateEdit.h"
#include "FilterHeader.h"
#include "GridTableView.h"
#include "GroupByBox.h"
#include "PgQuery.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>

using namespace wbtest;

namespace {

// A timestamp literal for a day and a time of day.
std::string at(const QDate &day, const char *time) {
    return sqlLiteral(day.toString(Qt::ISODate).toStdString() + " " + time) + "::timestamp";
}

using Listing = Workbench;

TEST_F(Listing, FromTheStartDateThroughTheServersToday) {
    const QDate today = serverToday();
    const QDate start = today.addDays(-3);
    // Creation times follow the log times, so that the expected order is the reverse of this.
    std::map<std::string, std::string> id;
    id["long ago"] = addOrder({.createdAt = "2025-01-01 00:00:00", .logged = "'1990-05-01 12:00'::timestamp"});
    id["the day before"] = addOrder({.createdAt = "2025-01-02 00:00:00", .logged = at(start.addDays(-1), "23:59:59.999999")});
    id["the start day"] = addOrder({.createdAt = "2025-01-03 00:00:00", .logged = at(start, "00:00:00")});
    id["late today"] = addOrder({.createdAt = "2025-01-04 00:00:00", .logged = at(today, "23:59:59.999999")});
    id["tomorrow"] = addOrder({.createdAt = "2025-01-05 00:00:00", .logged = at(today.addDays(1), "00:00:00")});

    struct Case {
        const char *name;
        QDate from; // invalid: the box emptied
        std::vector<const char *> listed;
    };
    const Case cases[] = {
        {"three days back", start, {"late today", "the start day"}},
        {"today", today, {"late today"}},
        {"after today, even on the day of a logged row", today.addDays(1), {}},
        {"empty box", QDate(), {"late today", "the start day", "the day before", "long ago"}},
        {"the day of the oldest row", QDate(1990, 5, 1), {"late today", "the start day", "the day before", "long ago"}},
        {"the day after it", QDate(1990, 5, 2), {"late today", "the start day", "the day before"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        search(c.from);
        QStringList expected;
        for (const char *name : c.listed)
            expected << QString::fromStdString(braced(id[name]));
        EXPECT_EQ(listedIds(), expected);
        EXPECT_EQ(gridIds(), expected);
        EXPECT_EQ(w->cxGrid1->FilteredRecordCount(), expected.size());
    }
    EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
}

TEST_F(Listing, NewestCreationFirstThenClientThenLocation) {
    // Filed in an order that is none of the listed ones.
    const auto sameTimeBeta = addOrder({.client = "Beta", .location = "Arad", .createdAt = "2025-09-01 10:00:00"});
    const auto dayBefore = addOrder({.client = "Alfa", .location = "Arad", .createdAt = "2025-08-31 09:00:00"});
    const auto sameTimeAlfaZalau = addOrder({.client = "Alfa", .location = "Zalau", .createdAt = "2025-09-01 10:00:00"});
    const auto hourLater = addOrder({.client = "Zeta", .location = "Cluj", .createdAt = "2025-09-01 11:00:00"});
    const auto sameTimeAlfaBrasov = addOrder({.client = "Alfa", .location = "Brasov", .createdAt = "2025-09-01 10:00:00"});
    search(serverToday());
    QStringList expected;
    for (const auto &id : {hourLater, sameTimeAlfaBrasov, sameTimeAlfaZalau, sameTimeBeta, dayBefore})
        expected << QString::fromStdString(braced(id));
    EXPECT_EQ(listedIds(), expected);
    EXPECT_EQ(gridIds(), expected);
    // After an opening the first row is current.
    EXPECT_EQ(currentId(), expected[0]);
}

struct BadRow {
    const char *name;
    Order order;
    const char *shown; // the default display's text
};

TEST_F(Listing, ARowTheDatabaseCannotConvertFailsTheSearchWithItsError) {
    const auto good = addOrder({});
    const BadRow cases[] = {
        {"JSON cut short", {.rawJson = "{\"client_full_name\": \"X\""}, "invalid input syntax for type json."},
        {"JSON with a tail", {.rawJson = "{\"client_full_name\": \"X\"} x"}, "invalid input syntax for type json."},
        {"created_at not a time", {.createdAt = "ieri"}, "invalid input syntax for type timestamp: \"ieri\""},
        {"created_at out of range", {.createdAt = "2025-13-45 10:00:00"},
         "date/time field value out of range: \"2025-13-45 10:00:00\""},
        {"delivery_date not a date", {.deliveryDate = "maine"}, "invalid input syntax for type date: \"maine\""},
    };
    const QDate from = serverToday().addDays(-1);
    for (const BadRow &c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        const auto bad = addOrder(c.order);
        // The first search opens the list, the later ones re-read it: both fail alike.
        search(from);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Error);
        EXPECT_EQ(messages.messages[0].text.toStdString(), c.shown);
        db->exec("DELETE FROM log_kalvoro WHERE id_cmd_c = " + sqlLiteral(bad));
        messages.clear();
        search(from);
        EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
        EXPECT_EQ(listedIds(), QStringList{QString::fromStdString(braced(good))});
    }
}

// ---------------------------------------------------------------------------------------------
// The filter row, sorting and grouping, the walk over the grid's order, and the re-read
// ---------------------------------------------------------------------------------------------

class GridOrder : public Workbench {
protected:
    enum Column { colCreatedAt, colClient, colLocation };

    void SetUp() override {
        Workbench::SetUp();
        if (IsSkipped())
            return;
        id["a"] = addOrder({.client = "Mega Beta", .location = "Arad", .createdAt = "2025-09-01 10:06:00"});
        id["b"] = addOrder({.client = "Mega Alfa", .location = "Zalau", .createdAt = "2025-09-01 10:05:00",
                            .error = "Client necunoscut: Mega Alfa"});
        id["c"] = addOrder({.client = "Mega Beta", .location = "Cluj", .createdAt = "2025-09-01 10:04:00",
                            .error = "fProc_Kalvoro.confirmareCmdC :HTTP/1.1 503 Service Unavailable"});
        id["d"] = addOrder({.client = "Kaufland", .location = "Brasov", .createdAt = "2025-09-01 10:03:00"});
        id["e"] = addOrder({.client = "Mega Alfa", .location = "Deva", .createdAt = "2025-09-01 10:02:00"});
        id["f"] = addOrder({.client = "Mega Gama", .location = "Bacau", .createdAt = "2025-09-01 10:01:00"});
        search(serverToday().addDays(-1));
    }

    QStringList ids(std::initializer_list<const char *> names) {
        QStringList out;
        for (const char *n : names)
            out << QString::fromStdString(braced(id[n]));
        return out;
    }

    QLineEdit *filterEditor(int column) const { return w->cxGrid1->filterHeader()->editor(column); }

    std::map<std::string, std::string> id;
};

TEST_F(GridOrder, TheFilterRowMatchesAsTypedRegardlessOfCase) {
    QLineEdit *client = filterEditor(colClient);
    ASSERT_NE(client, nullptr);
    QTest::mouseClick(client, Qt::LeftButton);
    QTest::keyClicks(client, QStringLiteral("mE"));
    // Applied with each keystroke, without Enter.
    EXPECT_EQ(w->cxGrid1->FilteredRecordCount(), 5);
    QTest::keyClicks(client, QStringLiteral("GA b"));
    EXPECT_EQ(w->cxGrid1->FilteredRecordCount(), 2);
    EXPECT_EQ(gridIds(), ids({"a", "c"}));
    // A second column narrows further.
    QTest::mouseClick(filterEditor(colLocation), Qt::LeftButton);
    QTest::keyClicks(filterEditor(colLocation), QStringLiteral("CLU"));
    EXPECT_EQ(gridIds(), ids({"c"}));
    EXPECT_EQ(w->cxGrid1->FilteredRecordCount(), 1);
    // The data set still holds every row.
    EXPECT_EQ(w->dsLogKalvoro->RecordCount(), 6);
}

TEST_F(GridOrder, GotoFirstAndGotoNextFollowTheFilteredSortedGroupedOrder) {
    QTest::keyClicks(filterEditor(colClient), QStringLiteral("mEGA"));
    w->cxGrid1->groupBy(colClient);
    // Two caption clicks: by location, descending.
    w->cxGrid1->sortByClick(colLocation, Qt::NoModifier);
    w->cxGrid1->sortByClick(colLocation, Qt::NoModifier);
    const QStringList expected = ids({"b", "e", "c", "a", "f"});
    ASSERT_EQ(w->cxGrid1->FilteredRecordCount(), 5);

    QStringList walked;
    QStringList memo;
    w->cxGrid1->GotoFirst();
    for (int i = 0; i < w->cxGrid1->FilteredRecordCount(); ++i) {
        // The data set's current row and the memo follow the grid.
        walked << currentId();
        memo << w->cxDBMemo1->toPlainText();
        if (i + 1 < w->cxGrid1->FilteredRecordCount()) {
            EXPECT_TRUE(w->cxGrid1->GotoNext());
        }
    }
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(memo, (QStringList{QStringLiteral("Client necunoscut: Mega Alfa"), QString(),
                                 QStringLiteral("fProc_Kalvoro.confirmareCmdC :HTTP/1.1 503 Service Unavailable"),
                                 QString(), QString()}));
    EXPECT_FALSE(w->cxGrid1->GotoNext());
    EXPECT_EQ(currentId(), expected.last());
}

TEST_F(GridOrder, CautaKeepsTheCurrentOrderTheFilterTheSortAndTheGrouping) {
    QTest::keyClicks(filterEditor(colClient), QStringLiteral("mEGA"));
    w->cxGrid1->groupBy(colClient);
    w->cxGrid1->sortByClick(colLocation, Qt::NoModifier);
    w->cxGrid1->sortByClick(colLocation, Qt::NoModifier);
    clickOrder(id["c"]);
    ASSERT_EQ(currentId(), QString::fromStdString(braced(id["c"])));
    const int rowBefore = w->dsLogKalvoro->RecNo();

    // Filed since the search: newer than every listed order, so the current order moves down
    // one row in the list; and the current order's error text changed meanwhile.
    id["g"] = addOrder({.client = "Mega Alfa", .location = "Iasi", .createdAt = "2025-09-02 00:00:00"});
    db->exec("UPDATE log_kalvoro SET err_la_import = 'alt text' WHERE id_cmd_c = " + sqlLiteral(id["c"]));
    press("ButtonCauta");

    EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(w->dsLogKalvoro->RecNo(), rowBefore + 1);
    EXPECT_EQ(currentId(), QString::fromStdString(braced(id["c"])));
    EXPECT_EQ(w->cxGrid1->focusedSourceRow(), w->dsLogKalvoro->RecNo());
    EXPECT_EQ(w->cxDBMemo1->toPlainText(), QStringLiteral("alt text"));
    EXPECT_EQ(w->cxGrid1->filterText(colClient), QStringLiteral("mEGA"));
    EXPECT_EQ(filterEditor(colClient)->text(), QStringLiteral("mEGA"));
    ASSERT_EQ(w->cxGrid1->groupColumns().size(), 1);
    EXPECT_EQ(w->cxGrid1->groupColumns()[0].column, colClient);
    ASSERT_EQ(w->cxGrid1->sortColumns().size(), 1);
    EXPECT_EQ(w->cxGrid1->sortColumns()[0].column, colLocation);
    EXPECT_EQ(w->cxGrid1->sortColumns()[0].order, Qt::DescendingOrder);
    EXPECT_EQ(gridIds(), ids({"b", "g", "e", "c", "a", "f"}));

    // The memo follows the operator's clicks; a NULL error text leaves it empty.
    clickOrder(id["a"]);
    EXPECT_EQ(currentId(), QString::fromStdString(braced(id["a"])));
    EXPECT_EQ(w->cxDBMemo1->toPlainText(), QString());
    clickOrder(id["b"]);
    EXPECT_EQ(w->cxDBMemo1->toPlainText(), QStringLiteral("Client necunoscut: Mega Alfa"));

    // An order no longer listed: the first row is current.
    db->exec("DELETE FROM log_kalvoro WHERE id_cmd_c = " + sqlLiteral(id["b"]));
    press("ButtonCauta");
    EXPECT_EQ(w->dsLogKalvoro->RecNo(), 0);
    EXPECT_EQ(currentId(), QString::fromStdString(braced(id["g"])));
}

// ---------------------------------------------------------------------------------------------
// Showing the window again
// ---------------------------------------------------------------------------------------------

TEST_F(Listing, ShowingAgainResetsTheDateBoxAndKeepsTheListUntilCauta) {
    const QDate today = serverToday();
    EXPECT_EQ(w->cxDateEditDataIncep->date(), QDate::currentDate().addDays(-10));
    EXPECT_FALSE(w->dsLogKalvoro->Active()); // nothing read at the first showing
    const auto recent = addOrder({.createdAt = "2025-09-01 10:00:00"});
    const auto week = addOrder({.createdAt = "2025-08-01 10:00:00", .logged = at(today.addDays(-7), "12:00")});
    search(today.addDays(-1));
    ASSERT_EQ(listedIds(), QStringList{QString::fromStdString(braced(recent))});

    w->close();
    const auto later = addOrder({.createdAt = "2025-09-03 10:00:00"});
    w->cxDateEditDataIncep->setDate(today.addDays(-100));
    w->show();
    EXPECT_EQ(w->cxDateEditDataIncep->date(), QDate::currentDate().addDays(-10));
    EXPECT_EQ(listedIds(), QStringList{QString::fromStdString(braced(recent))});
    EXPECT_EQ(w->dsLogKalvoro->ParamByName(QStringLiteral("pDataIncep")).asDate(), today.addDays(-1));

    // Showing an already visible window again is no new showing.
    w->cxDateEditDataIncep->setDate(today.addDays(-30));
    w->show();
    EXPECT_EQ(w->cxDateEditDataIncep->date(), today.addDays(-30));

    w->cxDateEditDataIncep->setDate(QDate::currentDate().addDays(-10));
    press("ButtonCauta");
    EXPECT_EQ(listedIds(), (QStringList{QString::fromStdString(braced(later)), QString::fromStdString(braced(recent)),
                                        QString::fromStdString(braced(week))}));
}

TEST_F(Listing, TheGridTakesNoEditBeforeOrAfterASearch) {
    expectReadOnly();
    addOrder({});
    addOrder({.client = "Beta", .imported = true, .confirmedAt = "2025-09-02 08:30:15"});
    search(serverToday());
    ASSERT_EQ(w->dsLogKalvoro->RecordCount(), 2);
    expectReadOnly();
    press("ButtonCauta");
    expectReadOnly();
}

// ---------------------------------------------------------------------------------------------
// The window as designed
// ---------------------------------------------------------------------------------------------

TEST_F(Listing, TheWindowAsDesigned) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("fImportKalvoroCmdC"));
    EXPECT_EQ(w->size(), QSize(1322, 685));
    EXPECT_EQ(w->font().family(), QStringLiteral("Segoe UI"));
    EXPECT_EQ(w->font().pixelSize(), 12);

    struct Control {
        const char *name;
        const char *text;
        QRect rect; // a width or height of 0: only the position is given
        const char *parent;
    };
    const Control controls[] = {
        {"Label2", "Import comenzi client Kalvoro", {8, -2, 243, 21}, "fImportKalvoroCmdC"},
        {"Label1", "Comenzi Kalvoro", {8, 34, 142, 21}, "fImportKalvoroCmdC"},
        {"GroupBox1", "Vizualizare comenzi preluate", {163, 25, 285, 45}, "fImportKalvoroCmdC"},
        {"Label7", "Incepand cu data", {7, 19, 0, 0}, "GroupBox1"},
        {"cxDateEditDataIncep", nullptr, {104, 16, 89, 0}, "GroupBox1"},
        {"ButtonCauta", "Cauta", {201, 15, 75, 25}, "GroupBox1"},
        {"ButtonPreluareComenzi", "Preluare comenzi din site", {467, 40, 143, 25}, "fImportKalvoroCmdC"},
        {"ButtonImportToateCmd", "Importa toate comenzile in ZELTO", {632, 8, 190, 25}, "fImportKalvoroCmdC"},
        {"ButtonImportCmd", "Importa comanda curenta in ZELTO", {632, 40, 190, 25}, "fImportKalvoroCmdC"},
        {"ButtonConfirmareCmd", "Feedback Kalvoro", {844, 40, 113, 25}, "fImportKalvoroCmdC"},
        {"ButtonVeziJson", "Vezi Json Comanda", {979, 40, 113, 25}, "fImportKalvoroCmdC"},
        {"cxGrid1", nullptr, {8, 76, 1306, 545}, "fImportKalvoroCmdC"},
        {"Label3", "err_la_import", {8, 623, 0, 0}, "fImportKalvoroCmdC"},
        {"cxDBMemo1", nullptr, {8, 644, 1306, 37}, "fImportKalvoroCmdC"},
    };
    for (const Control &c : controls) {
        SCOPED_TRACE(c.name);
        auto *widget = w->findChild<QWidget *>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(c.parent));
        EXPECT_TRUE(widget->isVisible());
        EXPECT_EQ(widget->pos(), c.rect.topLeft());
        if (c.rect.width() > 0) {
            EXPECT_EQ(widget->width(), c.rect.width());
        }
        if (c.rect.height() > 0) {
            EXPECT_EQ(widget->height(), c.rect.height());
        }
        if (c.text) {
            QString text;
            if (auto *label = qobject_cast<QLabel *>(widget))
                text = label->text();
            else if (auto *button = qobject_cast<QPushButton *>(widget))
                text = button->text();
            else if (auto *box = qobject_cast<QGroupBox *>(widget))
                text = box->title();
            EXPECT_EQ(text, QString::fromLatin1(c.text));
        }
    }
    struct Heading {
        QLabel *label;
        QColor colour;
    };
    for (const Heading &h : {Heading{w->Label2, QColor(0xFF, 0x00, 0x00)}, Heading{w->Label1, QColor(0x5F, 0x9E, 0xA0)}}) {
        SCOPED_TRACE(h.label->objectName().toStdString());
        EXPECT_EQ(h.label->font().family(), QStringLiteral("Segoe UI"));
        EXPECT_EQ(h.label->font().pixelSize(), 16);
        EXPECT_TRUE(h.label->font().bold());
        EXPECT_EQ(h.label->palette().color(QPalette::WindowText), h.colour);
    }

    // The grid follows all four sides, the memo the left, right and bottom, its caption the
    // left and bottom; everything else stays where it was designed.
    w->resize(1422, 785);
    EXPECT_EQ(w->cxGrid1->geometry(), QRect(8, 76, 1406, 645));
    EXPECT_EQ(w->cxDBMemo1->geometry(), QRect(8, 744, 1406, 37));
    EXPECT_EQ(w->Label3->pos(), QPoint(8, 723));
    EXPECT_EQ(w->ButtonVeziJson->geometry(), QRect(979, 40, 113, 25));
    EXPECT_EQ(w->GroupBox1->geometry(), QRect(163, 25, 285, 45));
    w->resize(1322, 685);
    EXPECT_EQ(w->cxGrid1->geometry(), QRect(8, 76, 1306, 545));
}

TEST_F(Listing, TheGridsElevenColumns) {
    struct Column {
        const char *caption;
        int width; // 0: the grid's default
    };
    const Column expected[] = {
        {"data_cmd_c", 115},    {"client", 143},        {"locatie", 119},      {"delivery_date", 85},
        {"id_cmd_c", 0},        {"err_la_import", 191}, {"data_doc_zelto", 89}, {"tip_doc_zelto", 78},
        {"nr_doc_zelto", 81},   {"feedback (data)", 64}, {"data_ins_log", 115},
    };
    auto *header = w->cxGrid1->filterHeader();
    ASSERT_EQ(header->count(), 11);
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(header->visualIndex(i), i);
        EXPECT_EQ(header->model()->headerData(i, Qt::Horizontal).toString(), QString::fromLatin1(expected[i].caption));
        EXPECT_EQ(header->sectionSize(i), expected[i].width ? expected[i].width : w->cxGrid1->defaultColumnWidth());
    }
    // What the columns show of one row.
    const auto id = addOrder({.client = "Mega Alfa", .location = "Deva", .createdAt = "2025-09-01 07:08:09",
                              .logged = "'" + serverToday().toString(Qt::ISODate).toStdString() + " 06:05:04'",
                              .confirmedAt = "2025-09-02 08:30:15", .error = "eroare"});
    search(serverToday());
    const auto *model = w->cxGrid1->viewModel();
    ASSERT_EQ(model->filteredCount(), 1);
    const int row = model->filteredSourceRow(0);
    EXPECT_EQ(model->displayText(row, 0), QStringLiteral("2025-09-01 07:08:09"));
    EXPECT_EQ(model->displayText(row, 1), QStringLiteral("Mega Alfa"));
    EXPECT_EQ(model->displayText(row, 2), QStringLiteral("Deva"));
    EXPECT_EQ(model->displayText(row, 4), QString::fromStdString(braced(id)));
    EXPECT_EQ(model->displayText(row, 5), QStringLiteral("eroare"));
    EXPECT_EQ(model->displayText(row, 9), QStringLiteral("2025-09-02 08:30:15"));
    EXPECT_EQ(model->displayText(row, 10), serverToday().toString(Qt::ISODate) + QStringLiteral(" 06:05:04"));
}

TEST_F(Listing, TabOrder) {
    QApplication::setActiveWindow(w);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->ButtonPreluareComenzi->setFocus();
    // The named control that holds the focus widget.
    auto holder = [this]() -> QString {
        for (QWidget *f = QApplication::focusWidget(); f; f = f->parentWidget())
            if (f->parentWidget() == w || f->parentWidget() == w->GroupBox1)
                return f->objectName();
        return QStringLiteral("(none)");
    };
    QStringList order{holder()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << holder();
    }
    EXPECT_EQ(order, (QStringList{"ButtonPreluareComenzi", "cxGrid1", "cxDateEditDataIncep", "ButtonCauta",
                                  "ButtonImportCmd", "ButtonImportToateCmd", "ButtonConfirmareCmd", "cxDBMemo1",
                                  "ButtonVeziJson", "ButtonPreluareComenzi"}));
}

// ---------------------------------------------------------------------------------------------
// "Vezi Json Comanda"
// ---------------------------------------------------------------------------------------------

struct ViewerShowing {
    QString label;
    QString json;
    QString memo;
    bool modal = false;
};

// Presses "Vezi Json Comanda" and closes the viewer the way the operator does; what it showed.
ViewerShowing pressVeziJson(TfImportKalvoroCmdC *w) {
    ViewerShowing seen;
    QTimer::singleShot(0, fJsonPretty, [&seen] {
        seen.label = fJsonPretty->Label1->text();
        seen.json = fJsonPretty->pJsonString;
        seen.memo = fJsonPretty->Memo1->toPlainText();
        seen.modal = fJsonPretty->isVisible() && fJsonPretty->isModal();
        fJsonPretty->close();
    });
    w->ButtonVeziJson->click();
    return seen;
}

TEST_F(Listing, VeziJsonShowsTheCurrentOrder) {
    const std::string json = "{\"client_full_name\": \"Mega Alfa\", \"location\": \"Deva\", "
                             "\"created_at\": \"2025-09-01 10:00:00\", \"note\": \"a\\/b\"}";
    const auto first = addOrder({.rawJson = json});
    const auto second = addOrder({.client = "Zeta", .createdAt = "2025-08-01 10:00:00"});
    search(serverToday());
    clickOrder(first);

    ViewerShowing seen = pressVeziJson(w);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.label, QString::fromStdString("Client = Mega Alfa, Id comanda = " + braced(first)));
    EXPECT_EQ(seen.json, QString::fromStdString(json));
    EXPECT_TRUE(seen.memo.startsWith(QStringLiteral("{\n    \"client_full_name\": \"Mega Alfa\",\n")))
        << seen.memo.toStdString();
    EXPECT_TRUE(seen.memo.contains(QStringLiteral("\"note\": \"a/b\""))) << seen.memo.toStdString();

    clickOrder(second);
    seen = pressVeziJson(w);
    EXPECT_EQ(seen.label, QString::fromStdString("Client = Zeta, Id comanda = " + braced(second)));
    // Closing empties the viewer's fields.
    EXPECT_TRUE(fJsonPretty->pJsonString.isEmpty());
    EXPECT_TRUE(fJsonPretty->pLabel.isEmpty());
    EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
}

TEST_F(Listing, VeziJsonWithoutARowShowsTheEmptyTexts) {
    addOrder({});
    const ViewerShowing before = pressVeziJson(w); // never searched
    search(serverToday().addDays(1));              // a search that lists nothing
    ASSERT_TRUE(w->dsLogKalvoro->Active());
    const ViewerShowing empty = pressVeziJson(w);
    for (const ViewerShowing &seen : {before, empty}) {
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.label, QStringLiteral("Client = , Id comanda = "));
        EXPECT_EQ(seen.json, QString());
        EXPECT_EQ(seen.memo, QStringLiteral("\n"));
    }
    EXPECT_TRUE(messages.messages.empty()) << messages.texts().join('|').toStdString();
}

} // namespace
