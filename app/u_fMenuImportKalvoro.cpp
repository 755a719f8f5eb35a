#include "u_fMenuImportKalvoro.h"

#include "Anchors.h"
#include "Application.h"
#include "FormLook.h"
#include "u_dmCon.h"
#include "u_fImportKalvoroCmdC.h"
#include "u_frmLogin.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfMenuImportKalvoro *fMenuImportKalvoro = nullptr;

namespace {

constexpr QSize designClient(438, 223);
const QString versionText = QStringLiteral("wImportKalvoro v. 2025.09.01");

QLabel *navyBoldLabel(QWidget *parent, const QString &name, const QString &text) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    // These labels show the signed-in database and the operator's name as typed: as written,
    // never read as markup.
    label->setTextFormat(Qt::PlainText);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    label->setPalette(pal);
    return label;
}

} // namespace

TfMenuImportKalvoro::TfMenuImportKalvoro(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fMenuImportKalvoro"));
    setWindowTitle(QStringLiteral("fMenuImportKalvoro"));
    setFont(wik::designFont(QStringLiteral("Segoe UI"), 12));
    resize(designClient);

    // PanelLogin is docked to the top, PanelMenu fills the rest (all of it once the login panel
    // is hidden).
    auto *dock = new QVBoxLayout(this);
    dock->setContentsMargins(0, 0, 0, 0);
    dock->setSpacing(0);

    PanelLogin = new QWidget(this);
    PanelLogin->setObjectName(QStringLiteral("PanelLogin"));
    const QSize loginPanelSize(designClient.width(), 57);
    PanelLogin->setFixedHeight(loginPanelSize.height());
    PanelLogin->resize(loginPanelSize);
    dock->addWidget(PanelLogin, 0, Qt::AlignTop);

    Label1 = navyBoldLabel(PanelLogin, QStringLiteral("Label1"), versionText);
    wik::place(Label1, QRect(254, 0, 179, 15), loginPanelSize,
               wik::Anchors(wik::Anchor::Top) | wik::Anchor::Right);

    ButtonLogin = new QPushButton(QStringLiteral("Login"), PanelLogin);
    ButtonLogin->setObjectName(QStringLiteral("ButtonLogin"));
    wik::place(ButtonLogin, QRect(16, 15, 89, 30), loginPanelSize);

    PanelMenu = new QWidget(this);
    PanelMenu->setObjectName(QStringLiteral("PanelMenu"));
    const QSize menuPanelSize(designClient.width(), designClient.height() - loginPanelSize.height());
    PanelMenu->resize(menuPanelSize);
    dock->addWidget(PanelMenu, 1);

    Label2 = navyBoldLabel(PanelMenu, QStringLiteral("Label2"), versionText);
    wik::place(Label2, QRect(254, 2, 179, 15), menuPanelSize,
               wik::Anchors(wik::Anchor::Top) | wik::Anchor::Right);

    // Word-wrapping: a long database name continues on further lines up to the version label.
    LabelDataBase = navyBoldLabel(PanelMenu, QStringLiteral("LabelDataBase"),
                                  QStringLiteral("LabelDataBase"));
    LabelDataBase->setWordWrap(true);
    LabelDataBase->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelDataBase->move(6, 2);
    LabelDataBase->setFixedWidth(246);

    LabelUser = navyBoldLabel(PanelMenu, QStringLiteral("LabelUser"), QStringLiteral("LabelUser"));
    LabelUser->move(6, 23);

    Shape1 = new QFrame(PanelMenu);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::NoFrame);
    Shape1->setAutoFillBackground(true);
    QPalette linePal = Shape1->palette();
    linePal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    Shape1->setPalette(linePal);
    wik::place(Shape1, QRect(0, 44, designClient.width(), 2), menuPanelSize,
               wik::Anchors(wik::Anchor::Left) | wik::Anchor::Top | wik::Anchor::Right);

    ButtonPreluareComenzi = new QPushButton(QStringLiteral("Preluare comenzi"), PanelMenu);
    ButtonPreluareComenzi->setObjectName(QStringLiteral("ButtonPreluareComenzi"));
    wik::place(ButtonPreluareComenzi, QRect(16, 64, 137, 25), menuPanelSize);

    wik::connectHandler(ButtonLogin, &QPushButton::clicked, this, [this] { ButtonLoginClick(); });
    wik::connectHandler(ButtonPreluareComenzi, &QPushButton::clicked, this,
                        [this] { ButtonPreluareComenziClick(); });

    FormCreate();
}

void TfMenuImportKalvoro::FormCreate() { PanelMenu->hide(); }

void TfMenuImportKalvoro::ButtonLoginClick() {
    if (frmLogin->exec() == QDialog::Accepted)
        showSignedIn(dmCon->glDataBase, dmCon->glUser);
}

void TfMenuImportKalvoro::showSignedIn(const QString &dataBase, const QString &user) {
    PanelLogin->hide();
    PanelMenu->show();
    LabelDataBase->setText(dataBase);
    LabelDataBase->adjustSize();
    LabelUser->setText(QStringLiteral("User ") + user);
    LabelUser->adjustSize();
}

void TfMenuImportKalvoro::ButtonPreluareComenziClick() {
    fImportKalvoroCmdC->show();
    fImportKalvoroCmdC->raise();
    fImportKalvoroCmdC->activateWindow();
}

void TfMenuImportKalvoro::closeEvent(QCloseEvent *event) {
    // Closing the menu window ends the program, with whatever other windows are open.
    event->accept();
    QCoreApplication::quit();
}
