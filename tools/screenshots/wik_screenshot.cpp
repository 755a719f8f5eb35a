// Renders one window of the program, in a chosen state, to a PNG, so that anyone can look at the
// windows as an operator sees them. scripts/screenshot.sh builds it with the demo setup's
// connection settings and runs it under Xvfb against the demo cluster and order service.
//   wik_screenshot WINDOW OUT.png
// WINDOW: menu | login | menu-signed-in | workbench | workbench-filter | viewer | message | error
#include "Application.h"
#include "DataGrid.h"
#include "Startup.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_fJsonPretty.h"
#include "u_fMenuImportKalvoro.h"
#include "u_frmLogin.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace {

const QStringList windows = {QStringLiteral("menu"), QStringLiteral("login"),
                             QStringLiteral("menu-signed-in"), QStringLiteral("workbench"),
                             QStringLiteral("workbench-filter"), QStringLiteral("viewer"),
                             QStringLiteral("message"), QStringLiteral("error")};

void signIn() {
    frmLogin->show();
    frmLogin->Edit1->setText(QStringLiteral("Demo"));
    frmLogin->Edit2->setText(QStringLiteral("operator"));
    frmLogin->Edit3->setText(QStringLiteral("demo"));
    frmLogin->Button1->click();
    frmLogin->hide();
    fMenuImportKalvoro->showSignedIn(dmCon->glDataBase, dmCon->glUser);
}

void openWorkbenchWithOrders() {
    signIn();
    fMenuImportKalvoro->ButtonPreluareComenzi->click();
    fImportKalvoroCmdC->ButtonCauta->click();
    fImportKalvoroCmdC->cxGrid1->GotoFirst();
    fImportKalvoroCmdC->cxGrid1->GotoNext();
}

// Grabs whatever modal window the action opens, then closes it.
void grabModalDuring(const std::function<void()> &action, const QString &out, int &rc) {
    QTimer::singleShot(700, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            rc = modal->grab().save(out) ? 0 : 1;
            modal->close();
        }
    });
    action();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 || !windows.contains(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: wik_screenshot %s OUT.png\n",
                     windows.join(QLatin1Char('|')).toLocal8Bit().constData());
        return 2;
    }
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    // The title the real program derives from its own executable.
    static char programName[] = "wImportKalvoro";
    int appArgc = 1;
    char *appArgv[] = {programName, nullptr};
    wik::Application app(appArgc, appArgv);
    startup::createInstances();
    fMenuImportKalvoro->show();

    int rc = 1;
    QWidget *target = nullptr;
    QTimer::singleShot(300, [&] {
        if (which == QLatin1String("menu")) {
            target = fMenuImportKalvoro;
        } else if (which == QLatin1String("login")) {
            frmLogin->show();
            frmLogin->Edit1->setText(QStringLiteral("Demo"));
            frmLogin->Edit2->setText(QStringLiteral("operator"));
            frmLogin->Edit3->setText(QStringLiteral("demo"));
            target = frmLogin;
        } else if (which == QLatin1String("menu-signed-in")) {
            signIn();
            target = fMenuImportKalvoro;
        } else if (which == QLatin1String("workbench")) {
            openWorkbenchWithOrders();
            target = fImportKalvoroCmdC;
        } else if (which == QLatin1String("workbench-filter")) {
            openWorkbenchWithOrders();
            if (auto *editor = fImportKalvoroCmdC->cxGrid1->findChild<QLineEdit *>(
                    QStringLiteral("filterEditor_2")))
                editor->setText(QStringLiteral("cluj"));
            target = fImportKalvoroCmdC;
        } else if (which == QLatin1String("viewer")) {
            openWorkbenchWithOrders();
            grabModalDuring([] { fImportKalvoroCmdC->ButtonVeziJson->click(); }, out, rc);
        } else if (which == QLatin1String("message")) {
            openWorkbenchWithOrders();
            grabModalDuring([] { fImportKalvoroCmdC->ButtonPreluareComenzi->click(); }, out, rc);
        } else if (which == QLatin1String("error")) {
            openWorkbenchWithOrders();
            fImportKalvoroCmdC->cxGrid1->GotoFirst();
            grabModalDuring([] { fImportKalvoroCmdC->ButtonConfirmareCmd->click(); }, out, rc);
        }
        if (target) {
            target->raise();
            QTimer::singleShot(400, [&] {
                rc = target->grab().save(out) ? 0 : 1;
                app.quit();
            });
        } else {
            app.quit();
        }
    });
    app.exec();
    startup::destroyInstances();
    if (rc != 0)
        std::fprintf(stderr, "could not render %s\n", argv[1]);
    return rc;
}
