#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace wik {

// A font as a form designs it: a family at a size in pixels, optionally bold. The designed
// Windows families are mapped to look-alikes by the application's font substitution.
QFont designFont(const QString &family, int pixelSize, bool bold = false);

// The form paints its own background in the button face colour, as a dialog-like window does.
void fillWithButtonFace(QWidget *form);

} // namespace wik
