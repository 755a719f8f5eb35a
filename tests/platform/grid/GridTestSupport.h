#pragma once
// What the grid tests share: the application object, a small table model of typed values (an
// invalid value is NULL) and a grid over it with order-log-like columns.
#include "DataGrid.h"
#include "FilterHeader.h"
#include "GridTableView.h"
#include "GridViewModel.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

// Readable failures: gtest prints Qt strings as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) {
    *os << "{ ";
    for (const QString &s : l)
        *os << '"' << s.toStdString() << "\" ";
    *os << '}';
}
QT_END_NAMESPACE

namespace gridtest {

// One application for the test program, ended with it (so that what it holds is let go).
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { app_.reset(); }
    void start() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "grid_tests";
        static char *argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }

private:
    std::unique_ptr<QApplication> app_;
};

inline void ensureApplication() {
    if (QApplication::instance())
        return;
    auto *environment = new ApplicationEnvironment;
    ::testing::AddGlobalTestEnvironment(environment); // gtest owns it
    environment->start();
}

// Flat rows of typed values. Editable on purpose: the grid must not edit even where the data could.
class TypedModel : public QAbstractTableModel {
public:
    QStringList headers;
    QList<QList<QVariant>> rows;
    int setDataCalls = 0;

    TypedModel(QStringList h, QList<QList<QVariant>> r) : headers(std::move(h)), rows(std::move(r)) {}

    void replaceRows(QList<QList<QVariant>> r) {
        beginResetModel();
        rows = std::move(r);
        endResetModel();
    }
    void setValue(int row, int column, const QVariant &v) {
        rows[row][column] = v;
        emit dataChanged(index(row, column), index(row, column));
    }

    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : int(rows.size()); }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : int(headers.size()); }
    QVariant data(const QModelIndex &i, int role) const override {
        if (role == Qt::EditRole)
            return rows[i.row()][i.column()];
        if (role == Qt::DisplayRole)
            return rows[i.row()][i.column()].toString();
        return {};
    }
    QVariant headerData(int s, Qt::Orientation o, int role) const override {
        return o == Qt::Horizontal && role == Qt::DisplayRole ? QVariant(headers[s]) : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex &) const override {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
    bool setData(const QModelIndex &i, const QVariant &v, int) override {
        ++setDataCalls;
        rows[i.row()][i.column()] = v;
        return true;
    }
};

// Types text key by key, letters outside Latin-1 too (the ones QTest::keyClicks refuses).
inline void typeText(QWidget *w, const QString &text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

inline QDateTime at(const char *iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// Source columns: client, location, created_at, delivery_date, amount.
inline std::unique_ptr<TypedModel> orders() {
    const QVariant null;
    return std::make_unique<TypedModel>(
        QStringList{"client_full_name", "location", "created_at", "delivery_date", "amount"},
        QList<QList<QVariant>>{
            {"Ana Pop", "Cluj", at("2026-12-01T09:05:07"), QDate(2026, 12, 3), qlonglong(10)},
            {"Ștefan Ionescu", "Iași", at("2026-11-30T18:00:00"), null, qlonglong(2)},
            {"Dan Marin", "Cluj", at("2026-12-02T07:30:00"), QDate(2026, 12, 4), qlonglong(30)},
            {"ana maria", "Brașov", null, QDate(2026, 12, 1), qlonglong(10)},
            {"Sorin Tudor", "Iași", at("2026-12-01T09:05:07"), QDate(2026, 12, 2), qlonglong(7)},
            {"Tudor Șerban", "Cluj", at("2026-11-29T12:00:00"), null, null},
        });
}

inline QList<wik::grid::GridColumn> orderColumns() {
    using wik::grid::DisplayKind;
    return {
        {"client", 0, 143, DisplayKind::Memo, {}},
        {"locatie", 1, 119, DisplayKind::PlainText, {}},
        {"data_cmd_c", 2, 115, DisplayKind::DateTime, "yyyy-mm-dd hh:nn:ss"},
        {"delivery_date", 3, 85, DisplayKind::ShortDate, {}},
        {{}, 4, -1, DisplayKind::PlainText, {}},
    };
}

class GridFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    void SetUp() override {
        model = orders();
        grid = std::make_unique<wik::grid::DataGrid>();
        grid->setObjectName("cxGrid1");
        grid->setColumns(orderColumns());
        grid->setSourceModel(model.get());
        grid->resize(900, 400);
        grid->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        grid.reset();
        model.reset();
    }

    wik::grid::GridViewModel &view() const { return *grid->viewModel(); }
    QLineEdit *filterEditor(int column) const {
        return grid->findChild<QLineEdit *>(QStringLiteral("filterEditor_%1").arg(column));
    }
    // The table's rows as the operator reads them: data rows by a column's text, group rows as
    // "[caption : value (n)]".
    QStringList shown(int column = 0) const {
        QStringList out;
        const auto &m = view();
        for (int r = 0; r < m.rowCount(); ++r) {
            const QString text = m.index(r, column).data().toString();
            out << (m.isGroupRow(r) ? "[" + text + "]" : text);
        }
        return out;
    }
    // The filtered rows in the grid's order, by client, whatever groups are collapsed.
    QStringList walkOrder() const {
        QStringList out;
        for (int p = 0; p < view().filteredCount(); ++p)
            out << model->rows[view().filteredSourceRow(p)][0].toString();
        return out;
    }
    int sourceRowOf(const QString &client) const {
        for (int r = 0; r < model->rows.size(); ++r)
            if (model->rows[r][0].toString() == client)
                return r;
        return -1;
    }
    QString focusedClient() const {
        const int r = grid->focusedSourceRow();
        return r < 0 ? QString() : model->rows[r][0].toString();
    }

    std::unique_ptr<TypedModel> model;
    std::unique_ptr<wik::grid::DataGrid> grid;
};

} // namespace gridtest
