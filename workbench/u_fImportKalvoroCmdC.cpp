#include "u_fImportKalvoroCmdC.h"

TfImportKalvoroCmdC *fImportKalvoroCmdC = nullptr;

TfImportKalvoroCmdC::TfImportKalvoroCmdC(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fImportKalvoroCmdC"));
    setWindowTitle(QStringLiteral("fImportKalvoroCmdC"));
    resize(1322, 685);
}
