#pragma once
// The login window: company, user name and password. Finds the company in the central catalog,
// points the company connection at its database, checks the operator and his right to this
// program, and remembers the last company and user name typed.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace wik {
class MemTable;
class FieldBinding;
namespace db {
class PgQuery;
}
} // namespace wik

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);
    ~TfrmLogin() override;

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Edit1; // company
    QLineEdit *Edit2; // user name
    QLineEdit *Edit3; // password, never stored
    QPushButton *Button1;

    // The remembered login: one row with the company and the user name.
    wik::MemTable *dsLogin;
    wik::FieldBinding *LinkControlToField1;
    wik::FieldBinding *LinkControlToField2;
    // The company in the catalog.
    wik::db::PgQuery *dsZeltoMobil;

    void FormShow();
    void Button1Click();

    // What the password is compared as, for the catalog's pw_hash_type.
    static QString passwordForm(const QString &password, const QString &pwHashType);
    // Where the remembered login is kept.
    static QString savedLoginPath();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

extern TfrmLogin *frmLogin;
