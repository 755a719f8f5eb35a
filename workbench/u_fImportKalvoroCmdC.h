#pragma once
// The order workbench: the order log from a chosen date in a grid, and the actions on its orders
// (retrieval from the order service, import into Zelto, confirmation to the service, the JSON
// viewer).
#include "Error.h"

#include <QDateTime>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

namespace wik::db {
class DataSetModel;
class PgQuery;
class PgStoredProc;
} // namespace wik::db
namespace wik::grid {
class DataGrid;
class DateEdit;
class DBMemo;
} // namespace wik::grid

// The order an action works on is no longer listed after a re-read: the action stops rather
// than go on with another order.
class OrderNotListed : public wik::Error {
public:
    explicit OrderNotListed(const QString &id);
};

class TfImportKalvoroCmdC : public QWidget {
    Q_OBJECT
public:
    explicit TfImportKalvoroCmdC(QWidget *parent = nullptr);
    ~TfImportKalvoroCmdC() override;

    QLabel *Label2;
    QLabel *Label1;
    QGroupBox *GroupBox1;
    QLabel *Label7;
    wik::grid::DateEdit *cxDateEditDataIncep;
    QPushButton *ButtonCauta;
    QPushButton *ButtonPreluareComenzi;
    QPushButton *ButtonImportToateCmd;
    QPushButton *ButtonImportCmd;
    QPushButton *ButtonConfirmareCmd;
    QPushButton *ButtonVeziJson;
    wik::grid::DataGrid *cxGrid1;
    QLabel *Label3;
    wik::grid::DBMemo *cxDBMemo1;
    // Shown only while "Importa toate comenzile in ZELTO" runs.
    QLabel *LabelProgresImport;
    QPushButton *ButtonOprireImport;

    wik::db::PgQuery *dsLogKalvoro;
    wik::db::DataSetModel *dsouLogKalvoro;
    wik::db::PgStoredProc *o_kalvoro_log_ins;
    wik::db::PgStoredProc *o_kalvoro_cmd_c_ins;

    void FormShow();
    void ButtonCautaClick();
    void ButtonPreluareComenziClick();
    void ButtonImportCmdClick();
    void ButtonImportToateCmdClick();
    void ButtonConfirmareCmdClick();
    void ButtonVeziJsonClick();

    // The date the empty date box stands for: far enough in the past to list every row.
    static QDate nullDate() { return QDate(1, 1, 1); }
    // A stored confirmation time as the refusal shows it: the regional short date, a space and
    // the long time without any time-zone name; only the date at exactly midnight.
    static QString confirmationTimeText(const QDateTime &time);

    bool importAllRunning() const { return walkRunning_; }
    // Asks a running "Importa toate comenzile in ZELTO" to stop after the current order.
    void requestStopImportAll() { stopRequested_ = true; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString currentOrderId() const;
    int rowOfOrder(const QString &id) const; // raises OrderNotListed when it is not listed
    // Writes "<step><message>" into the current row's err_la_import.
    void storeFailure(const char *step, const std::exception &e);
    // Re-reads the list; the order `id` must still be listed, and is current afterwards.
    void refreshKeeping(const QString &id);
    void setWalkRunning(bool running);

    bool walkRunning_ = false;
    bool stopRequested_ = false;
};

extern TfImportKalvoroCmdC *fImportKalvoroCmdC;
