#include "MessageSink.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace wik {

namespace {

// A message may carry a whole answer of the order service. Laid out in the box's label, a text
// of megabytes holds the window for minutes and gives a box many screens tall, its button out of
// reach; so the box shows the beginning, at most this many lines and characters, and a last
// line "..." where the text is cut.
constexpr qsizetype maxShownLines = 30;
constexpr qsizetype maxShownChars = 2000;

QString shownInBox(const QString &text) {
    qsizetype end = std::min(text.size(), maxShownChars);
    qsizetype lines = 1;
    for (qsizetype i = 0; i < end; ++i) {
        if (text[i] == u'\n' && ++lines > maxShownLines) {
            end = i;
            break;
        }
    }
    if (end == text.size())
        return text;
    if (end > 0 && text[end - 1].isHighSurrogate())
        --end; // a character outside the basic plane is kept whole or left out
    return text.left(end) + QStringLiteral("\n...");
}

} // namespace

void DialogMessageSink::showError(QWidget *owner, const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::Critical, caption, shownInBox(text), QMessageBox::NoButton, owner);
    // The text often carries what came from outside (a service's answer, a typed name): shown
    // as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // A plain "OK" (the standard button would carry the style's icon).
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void DialogMessageSink::showInformation(QWidget *owner, const QString &caption,
                                        const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, caption, shownInBox(text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setWindowModality(Qt::ApplicationModal);
    // Centred on the work area of the monitor that shows the active window.
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        box.adjustSize();
        const QRect area = screen->availableGeometry();
        box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
    }
    box.exec();
}

} // namespace wik
