#pragma once
// The order JSON viewer: one order's JSON laid out for reading under a heading line that names
// the client and the order id. Shown modally from the workbench; hidden, never destroyed, between
// showings.
#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

class TfJsonPretty : public QDialog {
    Q_OBJECT
public:
    explicit TfJsonPretty(QWidget *parent = nullptr);

    QLabel *Label1;
    QPlainTextEdit *Memo1;

    // Assigned by the caller before each showing; emptied again when the window closes.
    QString pJsonString;
    QString pLabel;

    void FormShow();
    void FormClose();

    // Every way of closing the window (title-bar button, system menu, the system's close key)
    // ends here; the close handler runs once per closing.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

extern TfJsonPretty *fJsonPretty;

// "Vezi Json Comanda": hands the viewer the current order's JSON and heading and shows it
// modally until the operator closes it. With no current row all three texts are empty.
void showOrderJson(const QString &cmdCJson, const QString &clientFullName, const QString &idCmdC);
