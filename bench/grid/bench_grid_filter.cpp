// bench_grid_filter: the data grid over 100,000 rows shaped like the order log (11 columns:
// date-times, names, locations, dates, uuids, short texts). Times, each up to the repainted
// grid: every keystroke of a few filter texts (the first keystroke in a column also reads that
// column's texts), a sort click, and a reset of the model (the list read again).
// Prints "grid_filter filter_ms=<worst keystroke> reset_ms=<worst reset>".
#include "DataGrid.h"
#include "FilterHeader.h"
#include "GridStyleSheet.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace wik::grid;

namespace {

// Values are held typed and compactly, as a data set over a query result holds them once it
// has read them; the id is kept as text and turned into a QString when asked.
class OrderLogModel : public QAbstractTableModel {
public:
    explicit OrderLogModel(int rows) {
        std::mt19937 rng(20261201);
        const QStringList first{"Ana", "Ion", "Maria", "Ștefan", "Elena", "Andrei", "Ioana", "Mihai",
                                "Cristina", "Dan", "Sorin", "Tudor", "Alexandra", "Gheorghe", "Irina"};
        const QStringList last{"Popescu", "Ionescu", "Popa", "Dumitru", "Stan", "Stoica", "Gheorghe",
                               "Rusu", "Munteanu", "Matei", "Constantin", "Șerban", "Marin", "Tudor"};
        for (const QString &f : first)
            for (const QString &l : last)
                names_ << f + " " + l;
        locations_ = {"Cluj-Napoca", "Iași", "Brașov", "București", "Timișoara", "Constanța", "Sibiu",
                      "Oradea", "Craiova", "Galați", "Ploiești", "Arad", "Pitești", "Bacău", "Suceava"};
        errors_ = {"(SQL o_kalvoro_cmd_c_ins) : produs inexistent",
                   "confirmareCmdC : StatusCode = 500", "(SQL o_kalvoro_cmd_c_ins) : client blocat"};
        const QDate firstDay(2026, 1, 1);
        rows_.resize(std::size_t(rows));
        ids_.reserve(std::size_t(rows) * 38);
        for (int i = 0; i < rows; ++i) {
            Row &r = rows_[std::size_t(i)];
            const int second = int(rng() % 86400u);
            const QDate day = firstDay.addDays(rng() % 330u);
            r.created = QDateTime(day, QTime(0, 0).addSecs(second));
            r.logged = r.created.addSecs(60 + rng() % 7200);
            r.feedback = r.logged.addSecs(5);
            r.delivery = day.addDays(rng() % 20);
            r.name = quint16(rng() % names_.size());
            r.location = quint16(rng() % locations_.size());
            r.imported = rng() % 2;
            r.error = rng() % 10 == 0 ? qint8(rng() % errors_.size()) : qint8(-1);
            const QByteArray id = QUuid::createUuidV5(QUuid(), QByteArray::number(i)).toByteArray(QUuid::WithBraces);
            ids_.insert(ids_.end(), id.begin(), id.end());
        }
    }
    void reread() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 11; }
    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::EditRole && role != Qt::DisplayRole)
            return {};
        const Row &r = rows_[std::size_t(index.row())];
        switch (index.column()) {
        case 0: return r.created;
        case 1: return names_[r.name];
        case 2: return locations_[r.location];
        case 3: return r.delivery;
        case 4: return QString::fromLatin1(ids_.data() + std::size_t(index.row()) * 38, 38);
        case 5: return r.error < 0 ? QVariant() : QVariant(errors_[r.error]);
        case 6: return r.imported ? QVariant(r.logged.date()) : QVariant();
        case 7: return r.imported ? QVariant(QStringLiteral("FCT")) : QVariant();
        case 8: return r.imported ? QVariant(QString::number(100000 + index.row())) : QVariant();
        case 9: return r.imported ? QVariant(r.feedback) : QVariant();
        case 10: return r.logged;
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char *names[] = {"created_at", "client_full_name", "location", "delivery_date",
                                      "id_cmd_c", "err_la_import", "data_doc_zelto", "tip_doc_zelto",
                                      "nr_doc_zelto", "data_feedback", "data_ins_log"};
        return o == Qt::Horizontal && role == Qt::DisplayRole ? QVariant(QString::fromLatin1(names[section]))
                                                              : QVariant();
    }

private:
    struct Row {
        QDateTime created;
        QDateTime logged;
        QDateTime feedback;
        QDate delivery;
        quint16 name;
        quint16 location;
        bool imported;
        qint8 error;
    };
    std::vector<Row> rows_;
    std::vector<char> ids_;
    QStringList names_;
    QStringList locations_;
    QStringList errors_;
};

double elapsedMs(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// Until the grid is painted again.
void repaint(DataGrid &grid) {
    QApplication::processEvents();
    (void)grid.grab();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;

    OrderLogModel model(rows);
    const GridStyleSheet sheet = GridStyleSheet::devExpress();
    DataGrid grid;
    grid.setObjectName("cxGrid1");
    grid.setStyleSheet(&sheet);
    const QString stamp = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    grid.setColumns({
        {"data_cmd_c", 0, 115, DisplayKind::DateTime, stamp},
        {"client", 1, 143, DisplayKind::Memo, {}},
        {"locatie", 2, 119, DisplayKind::Memo, {}},
        {"delivery_date", 3, 85, DisplayKind::ShortDate, {}},
        {"id_cmd_c", 4, -1, DisplayKind::PlainText, {}},
        {"err_la_import", 5, 191, DisplayKind::Memo, {}},
        {"data_doc_zelto", 6, 89, DisplayKind::ShortDate, {}},
        {"tip_doc_zelto", 7, 78, DisplayKind::PlainText, {}},
        {"nr_doc_zelto", 8, 81, DisplayKind::PlainText, {}},
        {"feedback (data)", 9, 64, DisplayKind::DateTime, stamp},
        {"data_ins_log", 10, 115, DisplayKind::DateTime, stamp},
    });
    grid.resize(1306, 545);
    grid.show();

    QElapsedTimer t;
    t.start();
    grid.setSourceModel(&model);
    grid.setFocusedSourceRow(0);
    repaint(grid);
    const double firstMs = elapsedMs(t);

    double worstKey = 0;
    double firstKeyInColumn = 0;
    const auto type = [&](int column, const QString &keys) {
        QLineEdit *editor = grid.findChild<QLineEdit *>(QStringLiteral("filterEditor_%1").arg(column));
        for (QChar c : keys) {
            QElapsedTimer k;
            k.start();
            if (c == QLatin1Char('\b'))
                QTest::keyClick(editor, Qt::Key_Backspace);
            else
                QTest::keyClick(editor, c.toLatin1());
            repaint(grid);
            const double ms = elapsedMs(k);
            std::printf("  key '%s' in column %d: %.2f ms, %d rows pass\n",
                        c == QLatin1Char('\b') ? "<bs>" : QString(c).toLatin1().constData(), column, ms,
                        grid.FilteredRecordCount());
            worstKey = std::max(worstKey, ms);
        }
    };
    std::printf("rows=%d first paint: %.2f ms\n", rows, firstMs);
    {
        QElapsedTimer k;
        k.start();
        type(1, "i");
        firstKeyInColumn = elapsedMs(k);
    }
    type(1, "on");
    type(1, "\b\b\b");
    type(0, "2026-11-0");
    type(0, "\b\b\b\b\b\b\b\b\b");
    type(4, "ab");
    type(4, "\b\b");
    std::printf("first keystroke in a column (reads its texts): %.2f ms\n", firstKeyInColumn);

    QElapsedTimer s;
    s.start();
    grid.sortByClick(0, Qt::NoModifier);
    repaint(grid);
    const double sortMs = elapsedMs(s);
    std::printf("sort by data_cmd_c: %.2f ms\n", sortMs);
    s.restart();
    grid.sortByClick(1, Qt::ShiftModifier);
    repaint(grid);
    std::printf("then by client: %.2f ms\n", elapsedMs(s));
    type(1, "ion");
    type(1, "\b\b\b");

    // The model read again three times, the grid on its first row and repainted.
    double worstReset = 0;
    const auto timeResets = [&](const char *order) {
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer r;
            r.start();
            model.reread();
            grid.setFocusedSourceRow(0);
            repaint(grid);
            const double ms = elapsedMs(r);
            std::printf("  reset %d (%s): %.2f ms\n", i + 1, order, ms);
            worstReset = std::max(worstReset, ms);
        }
    };
    timeResets("sorted");
    grid.setSortColumns({});
    timeResets("unsorted");
    std::printf("grid_filter filter_ms=%.1f reset_ms=%.1f\n", worstKey, worstReset);
    return 0;
}
