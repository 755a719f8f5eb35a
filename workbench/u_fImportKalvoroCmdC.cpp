#include "u_fImportKalvoroCmdC.h"

#include "Anchors.h"
#include "Application.h"
#include "DBMemo.h"
#include "DataGrid.h"
#include "DataSetModel.h"
#include "DateEdit.h"
#include "FilterHeader.h"
#include "FormLook.h"
#include "GridContextMenu.h"
#include "GroupByBox.h"
#include "JsonText.h"
#include "PgConnection.h"
#include "PgQuery.h"
#include "PgStoredProc.h"
#include "WaitCursor.h"
#include "u_dmCon.h"
#include "u_fJsonPretty.h"
#include "u_fProc_Kalvoro.h"

#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QShowEvent>

#include <memory>

TfImportKalvoroCmdC *fImportKalvoroCmdC = nullptr;

using wik::db::FieldDef;
using wik::db::FieldKind;
using wik::grid::DisplayKind;
using wik::grid::GridColumn;

OrderNotListed::OrderNotListed(const QString &id)
    : wik::Error(("Comanda " + id + " nu mai apare in lista.").toStdString()) {}

namespace {

constexpr QSize designClient(1322, 685);

const QString logQuery = QStringLiteral(
    "select *, \n"
    "       cmd_c_json::json->>'client_full_name'               as client_full_name,\n"
    "       cmd_c_json::json->>'location'                       as location,\n"
    "       cast(cmd_c_json::json->>'created_at' as timestamp)  as created_at,\n"
    "       cast(cmd_c_json::json->>'delivery_date' as date)    as delivery_date\n"
    "from log_kalvoro\n"
    "where cast(data_ins_log as date) between :pDataIncep and current_date\n"
    "order by cast(cmd_c_json::json->>'created_at' as timestamp) desc,\n"
    "         cmd_c_json::json->>'client_full_name',\n"
    "         cmd_c_json::json->>'location'                \n"
    ";");

// The declared fields of the order log, in this order (the grid's columns refer to them).
enum LogField {
    fIdCmdC, fCmdCJson, fErrLaImport, fDataInsLog, fDataDocZelto, fTipDocZelto, fNrDocZelto,
    fDataFeedback, fClientFullName, fLocation, fCreatedAt, fDeliveryDate
};

const FieldDef logFields[] = {
    {QStringLiteral("id_cmd_c"), FieldKind::Guid, 38, true},
    {QStringLiteral("cmd_c_json"), FieldKind::WideMemo},
    {QStringLiteral("err_la_import"), FieldKind::WideMemo},
    {QStringLiteral("data_ins_log"), FieldKind::DateTime, 0, true},
    {QStringLiteral("data_doc_zelto"), FieldKind::Date},
    {QStringLiteral("tip_doc_zelto"), FieldKind::WideString, 7},
    {QStringLiteral("nr_doc_zelto"), FieldKind::WideString, 15},
    {QStringLiteral("data_feedback"), FieldKind::DateTime},
    {QStringLiteral("client_full_name"), FieldKind::WideMemo, 0, false, true},
    {QStringLiteral("location"), FieldKind::WideMemo, 0, false, true},
    {QStringLiteral("created_at"), FieldKind::DateTime, 0, false, true},
    {QStringLiteral("delivery_date"), FieldKind::Date, 0, false, true},
};

QList<GridColumn> logColumns() {
    const QString dateTimeFormat = QStringLiteral("yyyy-mm-dd hh:nn:ss");
    return {
        {QStringLiteral("data_cmd_c"), fCreatedAt, 115, DisplayKind::DateTime, dateTimeFormat},
        {QStringLiteral("client"), fClientFullName, 143, DisplayKind::Memo, {}},
        {QStringLiteral("locatie"), fLocation, 119, DisplayKind::Memo, {}},
        {QStringLiteral("delivery_date"), fDeliveryDate, 85, DisplayKind::ShortDate, {}},
        {QStringLiteral("id_cmd_c"), fIdCmdC, -1, DisplayKind::PlainText, {}},
        {QStringLiteral("err_la_import"), fErrLaImport, 191, DisplayKind::Memo, {}},
        {QStringLiteral("data_doc_zelto"), fDataDocZelto, 89, DisplayKind::ShortDate, {}},
        {QStringLiteral("tip_doc_zelto"), fTipDocZelto, 78, DisplayKind::PlainText, {}},
        {QStringLiteral("nr_doc_zelto"), fNrDocZelto, 81, DisplayKind::PlainText, {}},
        {QStringLiteral("feedback (data)"), fDataFeedback, 64, DisplayKind::DateTime, dateTimeFormat},
        {QStringLiteral("data_ins_log"), fDataInsLog, 115, DisplayKind::DateTime, dateTimeFormat},
    };
}

QLabel *headingLabel(QWidget *parent, const QString &name, const QString &text, QColor colour) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(wik::designFont(QStringLiteral("Segoe UI"), 16, true));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    return label;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

// The data set writes only inside an action; whatever ends the action, it is read-only again.
auto writableUntilScopeEnds(wik::db::PgQuery *dataSet) {
    dataSet->setReadOnly(false);
    return qScopeGuard([dataSet] {
        if (dataSet->State() == wik::db::DataSetState::Edit) {
            try {
                dataSet->Cancel();
            } catch (...) {
                // Dropping a failed edit only forgets values that were never saved.
            }
        }
        dataSet->setReadOnly(true);
    });
}

// The company connection works in disconnected mode: every statement would open a session of
// its own, and signing in to the server costs more than the statements of an import. An action
// holds one session for all its statements and lets it go when it ends (a session the server
// drops on the way is opened again by the next statement).
std::unique_ptr<wik::db::PgConnection::Operation> holdCompanySession() {
    return std::make_unique<wik::db::PgConnection::Operation>(*dmCon->conZelto);
}

} // namespace

TfImportKalvoroCmdC::TfImportKalvoroCmdC(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fImportKalvoroCmdC"));
    setWindowTitle(QStringLiteral("fImportKalvoroCmdC"));
    setFont(wik::designFont(QStringLiteral("Segoe UI"), 12));
    wik::fillWithButtonFace(this);
    resize(designClient);

    // The order log: read-only at rest, rows identified by id_cmd_c and saved to log_kalvoro.
    dsLogKalvoro = new wik::db::PgQuery(this);
    dsLogKalvoro->setObjectName(QStringLiteral("dsLogKalvoro"));
    dsLogKalvoro->setConnection(dmCon->conZelto);
    dsLogKalvoro->setSql(logQuery);
    dsLogKalvoro->ParamByName(QStringLiteral("pDataIncep")).setDataType(FieldKind::Date);
    for (const FieldDef &f : logFields)
        dsLogKalvoro->addField(f);
    dsLogKalvoro->setKeyFields(QStringLiteral("id_cmd_c"));
    dsLogKalvoro->setUpdateTable(QStringLiteral("log_kalvoro"));
    dsLogKalvoro->setReadOnly(true);
    dsouLogKalvoro = new wik::db::DataSetModel(dsLogKalvoro, this);
    dsouLogKalvoro->setObjectName(QStringLiteral("dsouLogKalvoro"));

    o_kalvoro_log_ins = new wik::db::PgStoredProc(this);
    o_kalvoro_log_ins->setObjectName(QStringLiteral("o_kalvoro_log_ins"));
    o_kalvoro_log_ins->setConnection(dmCon->conZelto);
    o_kalvoro_log_ins->setStoredProcName(QStringLiteral("o_kalvoro_log_ins"));
    o_kalvoro_log_ins->setSql(QStringLiteral("SELECT * FROM o_kalvoro_log_ins(:pjson)"));
    o_kalvoro_log_ins->ParamByName(QStringLiteral("pjson")).setDataType(FieldKind::WideMemo);

    o_kalvoro_cmd_c_ins = new wik::db::PgStoredProc(this);
    o_kalvoro_cmd_c_ins->setObjectName(QStringLiteral("o_kalvoro_cmd_c_ins"));
    o_kalvoro_cmd_c_ins->setConnection(dmCon->conZelto);
    o_kalvoro_cmd_c_ins->setStoredProcName(QStringLiteral("o_kalvoro_cmd_c_ins"));
    o_kalvoro_cmd_c_ins->setSql(
        QStringLiteral("SELECT * FROM o_kalvoro_cmd_c_ins(:pidorder, :pemitent)"));
    o_kalvoro_cmd_c_ins->ParamByName(QStringLiteral("pidorder")).setDataType(FieldKind::Guid);
    o_kalvoro_cmd_c_ins->ParamByName(QStringLiteral("pemitent")).setDataType(FieldKind::WideMemo);

    Label2 = headingLabel(this, QStringLiteral("Label2"), QStringLiteral("Import comenzi client Kalvoro"),
                          QColor(0xFF, 0x00, 0x00));
    wik::place(Label2, {8, -2, 243, 21}, designClient);
    Label1 = headingLabel(this, QStringLiteral("Label1"), QStringLiteral("Comenzi Kalvoro"),
                          QColor(0x5F, 0x9E, 0xA0));
    wik::place(Label1, {8, 34, 142, 21}, designClient);

    GroupBox1 = new QGroupBox(QStringLiteral("Vizualizare comenzi preluate"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    wik::place(GroupBox1, {163, 25, 285, 45}, designClient);
    Label7 = new QLabel(QStringLiteral("Incepand cu data"), GroupBox1);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->move(7, 19);
    Label7->adjustSize();
    cxDateEditDataIncep = new wik::grid::DateEdit(GroupBox1);
    cxDateEditDataIncep->setObjectName(QStringLiteral("cxDateEditDataIncep"));
    cxDateEditDataIncep->setGeometry(104, 16, 89, 21);
    ButtonCauta = button(GroupBox1, QStringLiteral("ButtonCauta"), QStringLiteral("Cauta"));
    ButtonCauta->setGeometry(201, 15, 75, 25);

    ButtonPreluareComenzi = button(this, QStringLiteral("ButtonPreluareComenzi"),
                                   QStringLiteral("Preluare comenzi din site"));
    wik::place(ButtonPreluareComenzi, {467, 40, 143, 25}, designClient);
    ButtonImportToateCmd = button(this, QStringLiteral("ButtonImportToateCmd"),
                                  QStringLiteral("Importa toate comenzile in ZELTO"));
    wik::place(ButtonImportToateCmd, {632, 8, 190, 25}, designClient);
    ButtonImportCmd = button(this, QStringLiteral("ButtonImportCmd"),
                             QStringLiteral("Importa comanda curenta in ZELTO"));
    wik::place(ButtonImportCmd, {632, 40, 190, 25}, designClient);
    ButtonConfirmareCmd = button(this, QStringLiteral("ButtonConfirmareCmd"), QStringLiteral("Feedback Kalvoro"));
    wik::place(ButtonConfirmareCmd, {844, 40, 113, 25}, designClient);
    ButtonVeziJson = button(this, QStringLiteral("ButtonVeziJson"), QStringLiteral("Vezi Json Comanda"));
    wik::place(ButtonVeziJson, {979, 40, 113, 25}, designClient);

    // The progress of "Importa toate comenzile in ZELTO", beside its button while it runs.
    LabelProgresImport = new QLabel(this);
    LabelProgresImport->setObjectName(QStringLiteral("LabelProgresImport"));
    wik::place(LabelProgresImport, {844, 8, 130, 25}, designClient);
    LabelProgresImport->hide();
    ButtonOprireImport = button(this, QStringLiteral("ButtonOprireImport"), QStringLiteral("Opreste importul"));
    wik::place(ButtonOprireImport, {979, 8, 113, 25}, designClient);
    ButtonOprireImport->hide();

    cxGrid1 = new wik::grid::DataGrid(this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    wik::place(cxGrid1, {8, 76, 1306, 545}, designClient, wik::anchorsAll);
    cxGrid1->setStyleSheet(&dmCon->GridTableViewStyleSheetDevExpress);
    cxGrid1->setSourceModel(dsouLogKalvoro);
    cxGrid1->setColumns(logColumns());
    cxGrid1->contextMenu()->setExportFileName(QStringLiteral("log_kalvoro.csv"));

    Label3 = new QLabel(QStringLiteral("err_la_import"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->adjustSize();
    wik::place(Label3, QRect(QPoint(8, 623), Label3->size()), designClient,
               wik::Anchors(wik::Anchor::Left) | wik::Anchor::Bottom);
    cxDBMemo1 = new wik::grid::DBMemo(this);
    cxDBMemo1->setObjectName(QStringLiteral("cxDBMemo1"));
    wik::place(cxDBMemo1, {8, 644, 1306, 37}, designClient,
               wik::Anchors(wik::Anchor::Left) | wik::Anchor::Right | wik::Anchor::Bottom);
    cxDBMemo1->setModel(dsouLogKalvoro);
    cxDBMemo1->setDataColumn(fErrLaImport);

    // The grid's focused row and the data set's current row move together.
    connect(cxGrid1, &wik::grid::DataGrid::focusedSourceRowChanged, dsouLogKalvoro,
            &wik::db::DataSetModel::setCurrentRow);
    connect(dsouLogKalvoro, &wik::db::DataSetModel::currentRowChanged, cxGrid1,
            &wik::grid::DataGrid::setFocusedSourceRow);
    connect(dsouLogKalvoro, &wik::db::DataSetModel::currentRowChanged, cxDBMemo1,
            &wik::grid::DBMemo::setCurrentRow);

    setTabOrder(ButtonPreluareComenzi, cxGrid1);
    setTabOrder(cxGrid1, cxDateEditDataIncep);
    setTabOrder(cxDateEditDataIncep, ButtonCauta);
    setTabOrder(ButtonCauta, ButtonImportCmd);
    setTabOrder(ButtonImportCmd, ButtonImportToateCmd);
    setTabOrder(ButtonImportToateCmd, ButtonConfirmareCmd);
    setTabOrder(ButtonConfirmareCmd, cxDBMemo1);
    setTabOrder(cxDBMemo1, ButtonVeziJson);

    wik::connectHandler(ButtonCauta, &QPushButton::clicked, this, [this] { ButtonCautaClick(); });
    wik::connectHandler(ButtonPreluareComenzi, &QPushButton::clicked, this,
                        [this] { ButtonPreluareComenziClick(); });
    wik::connectHandler(ButtonImportCmd, &QPushButton::clicked, this, [this] { ButtonImportCmdClick(); });
    wik::connectHandler(ButtonImportToateCmd, &QPushButton::clicked, this,
                        [this] { ButtonImportToateCmdClick(); });
    wik::connectHandler(ButtonConfirmareCmd, &QPushButton::clicked, this,
                        [this] { ButtonConfirmareCmdClick(); });
    wik::connectHandler(ButtonVeziJson, &QPushButton::clicked, this, [this] { ButtonVeziJsonClick(); });
    wik::connectHandler(ButtonOprireImport, &QPushButton::clicked, this, [this] { requestStopImportAll(); });
}

TfImportKalvoroCmdC::~TfImportKalvoroCmdC() = default;

void TfImportKalvoroCmdC::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        wik::Application::guard([this] { FormShow(); });
}

void TfImportKalvoroCmdC::FormShow() {
    cxDateEditDataIncep->setDate(QDate::currentDate().addDays(-10));
}

void TfImportKalvoroCmdC::ButtonCautaClick() {
    const QDate date = cxDateEditDataIncep->date();
    dsLogKalvoro->ParamByName(QStringLiteral("pDataIncep")).setAsDate(date.isValid() ? date : nullDate());
    wik::WaitCursor wait;
    if (dsLogKalvoro->Active())
        dsLogKalvoro->Refresh();
    else
        dsLogKalvoro->Open();
}

QString TfImportKalvoroCmdC::currentOrderId() const {
    return dsLogKalvoro->FieldByName(QStringLiteral("id_cmd_c")).AsString();
}

int TfImportKalvoroCmdC::rowOfOrder(const QString &id) const {
    for (int row = 0; row < dsLogKalvoro->RecordCount(); ++row)
        if (dsLogKalvoro->displayText(row, fIdCmdC) == id)
            return row;
    throw OrderNotListed(id);
}

void TfImportKalvoroCmdC::refreshKeeping(const QString &id) {
    dsLogKalvoro->Refresh();
    if (dsLogKalvoro->RecordCount() == 0 || currentOrderId() != id)
        throw OrderNotListed(id);
}

void TfImportKalvoroCmdC::ButtonPreluareComenziClick() {
    wik::WaitCursor wait;
    QString answer;
    try {
        answer = fProc_Kalvoro->getCmdC();
    } catch (const std::exception &e) {
        throw wik::Error("Eroare apel API Kalvoro - " + wik::messageOf(e));
    }
    if (!wik::json::isOneJsonText(answer.toStdString()))
        throw wik::Error("Eroare - Eroare la parsare Json. Content = " + answer.toStdString());
    o_kalvoro_log_ins->ParamByName(QStringLiteral("pjson")).setAsWideMemo(answer);
    o_kalvoro_log_ins->ExecProc();
    // Before any "Cauta" the date parameter has no value yet and the opened list is empty.
    if (dsLogKalvoro->Active())
        dsLogKalvoro->Refresh();
    else
        dsLogKalvoro->Open();
    wik::Application::showInformation(QStringLiteral("Comenzile au fost preluate."));
}

QString TfImportKalvoroCmdC::confirmationTimeText(const QDateTime &time) {
    const QLocale locale = QLocale::system();
    QString text = locale.toString(time.date(), QLocale::ShortFormat);
    if (time.time() != QTime(0, 0)) {
        // The long time format, without the time-zone name it may carry.
        static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
        QString timeFormat = locale.timeFormat(QLocale::LongFormat).replace(zone, QStringLiteral(" "));
        text += QLatin1Char(' ') + locale.toString(time.time(), timeFormat.trimmed());
    }
    return text;
}

void TfImportKalvoroCmdC::storeFailure(const char *step, const std::exception &e) {
    // The failure is kept in the row, where the grid and the memo show it. The row may still be
    // in editing after a save that failed.
    const std::string message = step + wik::messageOf(e);
    if (dsLogKalvoro->State() != wik::db::DataSetState::Edit)
        dsLogKalvoro->Edit();
    dsLogKalvoro->FieldByName(QStringLiteral("err_la_import")).SetValue(QString::fromStdString(message));
    dsLogKalvoro->Post();
}

void TfImportKalvoroCmdC::ButtonConfirmareCmdClick() {
    if (dsLogKalvoro->RecordCount() == 0)
        throw wik::Error("Nu aveti inregistrari.");
    wik::WaitCursor wait;
    const auto session = holdCompanySession();
    const QString id = currentOrderId();
    // The row is judged as the database holds it now.
    if (dsLogKalvoro->Active())
        refreshKeeping(id);
    const auto readOnlyAgain = writableUntilScopeEnds(dsLogKalvoro);
    if (dsLogKalvoro->FieldByName(QStringLiteral("data_doc_zelto")).IsNull())
        throw wik::Error("Comanda nu este importata in ZELTO, dupa import se poate confirma la Kalvoro");
    auto feedback = dsLogKalvoro->FieldByName(QStringLiteral("data_feedback"));
    if (!feedback.IsNull())
        throw wik::Error(("Comanda a fost deja confirmata la Kalvoro. data_feedback=" +
                          confirmationTimeText(feedback.AsDateTime()))
                             .toStdString());
    QString bareId = id;
    bareId.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    try {
        const QDateTime confirmed = fProc_Kalvoro->confirmareCmdC(bareId);
        dsLogKalvoro->Edit();
        dsLogKalvoro->FieldByName(QStringLiteral("data_feedback")).SetValue(confirmed);
        dsLogKalvoro->FieldByName(QStringLiteral("err_la_import")).SetNull();
        dsLogKalvoro->Post();
    } catch (const std::exception &e) {
        storeFailure("fProc_Kalvoro.confirmareCmdC :", e);
    }
}

void TfImportKalvoroCmdC::ButtonImportCmdClick() {
    if (dsLogKalvoro->RecordCount() == 0)
        throw wik::Error("Nu aveti inregistrari.");
    wik::WaitCursor wait;
    const auto session = holdCompanySession();
    const auto readOnlyAgain = writableUntilScopeEnds(dsLogKalvoro);
    const QString id = currentOrderId();
    try {
        o_kalvoro_cmd_c_ins->ParamByName(QStringLiteral("pIdOrder")).setAsGuid(id);
        o_kalvoro_cmd_c_ins->ParamByName(QStringLiteral("pEmitent")).setAsWideMemo(dmCon->glUser);
        o_kalvoro_cmd_c_ins->ExecProc();
        dsLogKalvoro->Edit();
        dsLogKalvoro->FieldByName(QStringLiteral("err_la_import")).SetNull();
        dsLogKalvoro->Post();
    } catch (const std::exception &e) {
        storeFailure("(SQL o_kalvoro_cmd_c_ins) : ", e);
    }
    // The row as the server function left it; the same order must still be listed.
    refreshKeeping(id);
    if (!dsLogKalvoro->FieldByName(QStringLiteral("data_doc_zelto")).IsNull() &&
        dsLogKalvoro->FieldByName(QStringLiteral("data_feedback")).IsNull()) {
        try {
            ButtonConfirmareCmdClick();
        } catch (const OrderNotListed &) {
            throw;
        } catch (const std::exception &) {
            // The feedback keeps its own failures in the row.
        }
    }
}

void TfImportKalvoroCmdC::setWalkRunning(bool running) {
    walkRunning_ = running;
    stopRequested_ = false;
    // While the walk runs, nothing that would change the list or its order takes input;
    // scrolling, looking and the viewer still work.
    for (QWidget *w : {static_cast<QWidget *>(ButtonPreluareComenzi), static_cast<QWidget *>(ButtonImportToateCmd),
                       static_cast<QWidget *>(ButtonImportCmd), static_cast<QWidget *>(ButtonConfirmareCmd),
                       static_cast<QWidget *>(GroupBox1)})
        w->setEnabled(!running);
    cxGrid1->filterHeader()->setEnabled(!running); // filter row and sorting
    cxGrid1->groupByBox()->setEnabled(!running);
    LabelProgresImport->setVisible(running);
    ButtonOprireImport->setVisible(running);
}

void TfImportKalvoroCmdC::ButtonImportToateCmdClick() {
    if (walkRunning_)
        return;
    if (dsLogKalvoro->RecordCount() == 0)
        throw wik::Error("Nu aveti inregistrari.");
    setWalkRunning(true);
    auto walkEnds = qScopeGuard([this] { setWalkRunning(false); });
    const auto session = holdCompanySession();
    if (dsLogKalvoro->Active()) {
        wik::WaitCursor wait;
        dsLogKalvoro->Refresh();
    }
    cxGrid1->GotoFirst();
    const int count = cxGrid1->FilteredRecordCount();
    for (int i = 0; i < count && !stopRequested_; ++i) {
        LabelProgresImport->setText(QStringLiteral("Import %1 / %2").arg(i + 1).arg(count));
        if (dsLogKalvoro->FieldByName(QStringLiteral("data_doc_zelto")).IsNull()) {
            const QString id = currentOrderId();
            ButtonImportCmdClick();
            wik::Application::processMessages();
            // The operator may have clicked another row meanwhile: the walk goes on from the
            // order it imported.
            if (currentOrderId() != id) {
                dsouLogKalvoro->setCurrentRow(rowOfOrder(id));
            }
        }
        // Orders that left the list since the count was taken leave fewer rows to visit: past
        // the last row the walk ends, rather than take the last row again.
        if (!cxGrid1->GotoNext())
            break;
    }
    walkEnds.dismiss();
    setWalkRunning(false);
    wik::Application::showInformation(QStringLiteral("Sfarsit import comenzi."));
}

void TfImportKalvoroCmdC::ButtonVeziJsonClick() {
    const bool hasRow = dsLogKalvoro->Active() && dsLogKalvoro->RecordCount() > 0;
    auto text = [&](const char *field) {
        return hasRow ? dsLogKalvoro->FieldByName(QString::fromLatin1(field)).AsString() : QString();
    };
    showOrderJson(text("cmd_c_json"), text("client_full_name"), text("id_cmd_c"));
}
