#include "u_fJsonPretty.h"

TfJsonPretty *fJsonPretty = nullptr;

TfJsonPretty::TfJsonPretty(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fJsonPretty"));
    setWindowTitle(QStringLiteral("fJsonPretty"));
    resize(754, 551);
}
