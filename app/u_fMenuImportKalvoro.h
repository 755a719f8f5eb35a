#pragma once
// The menu window, the program's main window: "Login" before a sign-in; the company database,
// the operator and "Preluare comenzi" after it.
#include <QWidget>

class QLabel;
class QPushButton;
class QFrame;

class TfMenuImportKalvoro : public QWidget {
    Q_OBJECT
public:
    explicit TfMenuImportKalvoro(QWidget *parent = nullptr);

    QWidget *PanelLogin;
    QLabel *Label1;
    QPushButton *ButtonLogin;
    QWidget *PanelMenu;
    QLabel *Label2;
    QLabel *LabelDataBase;
    QLabel *LabelUser;
    QFrame *Shape1;
    QPushButton *ButtonPreluareComenzi;

    void FormCreate();
    void ButtonLoginClick();
    void ButtonPreluareComenziClick();
    // The signed-in state: the login panel gives way to the menu panel with the database and
    // the operator.
    void showSignedIn(const QString &dataBase, const QString &user);

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern TfMenuImportKalvoro *fMenuImportKalvoro;
