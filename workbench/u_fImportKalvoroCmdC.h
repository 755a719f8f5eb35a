#pragma once
// The order workbench: the order log grid and the actions on its orders.
#include <QWidget>

class TfImportKalvoroCmdC : public QWidget {
    Q_OBJECT
public:
    explicit TfImportKalvoroCmdC(QWidget *parent = nullptr);
};

extern TfImportKalvoroCmdC *fImportKalvoroCmdC;
