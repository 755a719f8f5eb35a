#include "Startup.h"

#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"
#include "u_fProc_Kalvoro.h"
#include "u_frmLogin.h"

namespace startup {

void createInstances() {
    // The menu window is created first and is the main window. The other windows are owned by
    // it, so that only the main window represents the program in the taskbar.
    fMenuImportKalvoro = new TfMenuImportKalvoro();
    dmCon = new TdmCon();
    frmLogin = new TfrmLogin(fMenuImportKalvoro);
    fImportKalvoroCmdC = new TfImportKalvoroCmdC(fMenuImportKalvoro);
    fProc_Kalvoro = new TfProc_Kalvoro(fMenuImportKalvoro);
    fJsonPretty = new TfJsonPretty(fMenuImportKalvoro);
}

void destroyInstances() {
    delete fJsonPretty;
    fJsonPretty = nullptr;
    delete fProc_Kalvoro;
    fProc_Kalvoro = nullptr;
    delete fImportKalvoroCmdC;
    fImportKalvoroCmdC = nullptr;
    delete frmLogin;
    frmLogin = nullptr;
    delete dmCon;
    dmCon = nullptr;
    delete fMenuImportKalvoro;
    fMenuImportKalvoro = nullptr;
}

} // namespace startup
