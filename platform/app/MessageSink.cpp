#include "MessageSink.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace wik {

void DialogMessageSink::showError(QWidget *owner, const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::NoButton, owner);
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
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, owner);
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
