#include "WorkbenchRun.h"

#include "Application.h"
#include "DateEdit.h"
#include "PgConnection.h"
#include "Startup.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"

namespace bench {

namespace {
int argc = 1;
char programName[] = "wImportKalvoro";
char *argv[] = {programName, nullptr};
} // namespace

WorkbenchRun::WorkbenchRun(const Server &s, const std::string &db) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<wik::Application>(argc, argv);
    wik::Application::setMessageSink(&messages);
    startup::createInstances();
    pointAt(*dmCon->conZelto, s, db);
    dmCon->glUser = QStringLiteral("bench");
    fImportKalvoroCmdC->resize(1322, 685);
    fImportKalvoroCmdC->show();
    // An empty date box lists every row logged up to today.
    fImportKalvoroCmdC->cxDateEditDataIncep->setDate(QDate());
    wik::Application::processMessages();
}

WorkbenchRun::~WorkbenchRun() {
    startup::destroyInstances();
    wik::Application::setMessageSink(nullptr);
}

} // namespace bench
