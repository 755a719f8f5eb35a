#include "FormLook.h"

#include <QPalette>
#include <QWidget>

namespace wik {

QFont designFont(const QString &family, int pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void fillWithButtonFace(QWidget *form) {
    QPalette face = form->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    form->setPalette(face);
    form->setAutoFillBackground(true);
}

} // namespace wik
