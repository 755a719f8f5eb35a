// Entry point: the application object, the six instances in their order, the event loop until
// the menu window is closed. No command line is read.
#include "Application.h"
#include "Startup.h"
#include "u_fMenuImportKalvoro.h"

int main(int argc, char **argv) {
    wik::Application app(argc, argv);
    startup::createInstances();
    fMenuImportKalvoro->show();
    const int rc = app.exec();
    startup::destroyInstances();
    return rc;
}
