#include "u_fJsonPretty.h"

#include "Anchors.h"
#include "Application.h"
#include "FormLook.h"
#include "JsonText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextDocument>

#include <string_view>

TfJsonPretty *fJsonPretty = nullptr;

namespace {

constexpr QSize designClient(754, 551);

// Orders lay out to a few kilobytes. A text whose layout would pass this size (deep nesting can
// multiply a short text a thousandfold) is shown as stored rather than exhausting the memory.
constexpr std::size_t maxLaidOutBytes = 64u * 1024 * 1024;

} // namespace

TfJsonPretty::TfJsonPretty(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fJsonPretty"));
    setWindowTitle(QStringLiteral("fJsonPretty"));
    // A sizeable window of its own with system menu, minimise and maximise buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(wik::designFont(QStringLiteral("Segoe UI"), 12));
    wik::fillWithButtonFace(this);
    resize(designClient);

    // Sized to its text, on one line; pinned to the top left corner.
    Label1 = new QLabel(QStringLiteral("Label"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(wik::designFont(QStringLiteral("Segoe UI"), 16, true));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    Label1->setPalette(red);
    Label1->setWordWrap(false);
    // The heading carries the client's name from the stored order: shown as written, never
    // read as markup.
    Label1->setTextFormat(Qt::PlainText);
    Label1->move(8, 0);
    Label1->adjustSize();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    wik::place(Memo1, QRect(8, 27, 738, 516), designClient, wik::anchorsAll);
    setFocusProxy(Memo1);
}

void TfJsonPretty::FormShow() {
    Memo1->clear();
    Label1->setText(pLabel);
    Label1->adjustSize();
    const QByteArray utf8 = pJsonString.toUtf8();
    const auto laidOut = wik::json::layOut(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), maxLaidOutBytes);
    const QString text = laidOut ? QString::fromUtf8(laidOut->data(), static_cast<qsizetype>(laidOut->size()))
                                 : pJsonString;
    // The memo keeps lines, not line-break characters: CR LF (or a lone CR or LF in a text shown
    // as stored) ends a line, so the text plus one line break leaves an empty last line.
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text + QStringLiteral("\r\n"));
    Memo1->document()->clearUndoRedoStacks();
    Memo1->moveCursor(QTextCursor::Start);
}

void TfJsonPretty::FormClose() {
    pJsonString.clear();
    pLabel.clear();
}

void TfJsonPretty::showEvent(QShowEvent *event) {
    // Not QDialog's own handling, which centres the window over its owner at every showing: the
    // window system places the window the first time, later showings keep the operator's place
    // and size. A spontaneous show (the window restored from the taskbar) is no new showing.
    QWidget::showEvent(event);
    if (!event->spontaneous())
        wik::Application::guard([this] { FormShow(); });
}

void TfJsonPretty::done(int result) {
    if (isVisible())
        wik::Application::guard([this] { FormClose(); });
    QDialog::done(result);
}

void TfJsonPretty::keyPressEvent(QKeyEvent *event) {
    // The viewer has no buttons: Escape closes nothing, only the window's close command does.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void showOrderJson(const QString &cmdCJson, const QString &clientFullName, const QString &idCmdC) {
    fJsonPretty->pJsonString = cmdCJson;
    fJsonPretty->pLabel =
        QStringLiteral("Client = ") + clientFullName + QStringLiteral(", Id comanda = ") + idCmdC;
    fJsonPretty->exec();
}
