// Renders one window of the program, in a chosen state, to a PNG, so that anyone can look at the
// windows as an operator sees them (scripts/screenshot.sh runs it under Xvfb).
//   wik_screenshot WINDOW OUT.png
// WINDOW: menu | menu-signed-in | login | workbench | viewer
#include "Application.h"
#include "Startup.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

int usage() {
    std::fprintf(stderr, "usage: wik_screenshot menu|menu-signed-in|login|workbench|viewer OUT.png\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3)
        return usage();
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    // The title the real program would derive from its own executable.
    static char programName[] = "wImportKalvoro";
    int appArgc = 1;
    char *appArgv[] = {programName, nullptr};
    wik::Application app(appArgc, appArgv);
    startup::createInstances();
    fMenuImportKalvoro->show();

    QWidget *target = nullptr;
    if (which == QLatin1String("menu")) {
        target = fMenuImportKalvoro;
    } else if (which == QLatin1String("menu-signed-in")) {
        fMenuImportKalvoro->showSignedIn(QStringLiteral("zelto_demo"), QStringLiteral("operator"));
        target = fMenuImportKalvoro;
    } else if (which == QLatin1String("login")) {
        target = frmLogin;
    } else if (which == QLatin1String("workbench")) {
        target = fImportKalvoroCmdC;
    } else if (which == QLatin1String("viewer")) {
        target = fJsonPretty;
    } else {
        return usage();
    }
    target->show();
    int rc = 1;
    QTimer::singleShot(500, [&] {
        rc = target->grab().save(out) ? 0 : 1;
        app.quit();
    });
    app.exec();
    startup::destroyInstances();
    if (rc != 0)
        std::fprintf(stderr, "could not write %s\n", argv[2]);
    return rc;
}
