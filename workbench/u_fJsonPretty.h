#pragma once
// The order JSON viewer: one order's JSON laid out for reading under a heading line.
#include <QDialog>

class TfJsonPretty : public QDialog {
    Q_OBJECT
public:
    explicit TfJsonPretty(QWidget *parent = nullptr);
};

extern TfJsonPretty *fJsonPretty;
