#include "u_frmLogin.h"

TfrmLogin *frmLogin = nullptr;

TfrmLogin::TfrmLogin(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("frmLogin"));
    resize(362, 158);
}
