#include "u_fProc_Kalvoro.h"

TfProc_Kalvoro *fProc_Kalvoro = nullptr;

TfProc_Kalvoro::TfProc_Kalvoro(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fProc_Kalvoro"));
    setWindowTitle(QStringLiteral("fProc_Kalvoro"));
}
