#pragma once
// The order service client: fetches the pending orders and confirms one order. A window class
// that only holds the REST components and the settings query; it is never shown.
#include <QWidget>

class TfProc_Kalvoro : public QWidget {
    Q_OBJECT
public:
    explicit TfProc_Kalvoro(QWidget *parent = nullptr);
};

extern TfProc_Kalvoro *fProc_Kalvoro;
