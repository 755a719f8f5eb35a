#pragma once
// The login window: company, user name and password; signs the operator in.
#include <QDialog>

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);
};

extern TfrmLogin *frmLogin;
