#pragma once
// The connection data module: the two database connections, the sign-in queries, the sign-in
// fields and the order log grid's style sheet. It has no behaviour of its own.
#include <QObject>
#include <QString>

class TdmCon : public QObject {
    Q_OBJECT
public:
    explicit TdmCon(QObject *parent = nullptr);
    ~TdmCon() override;

    // Sign-in fields: empty until a sign-in succeeds, then fixed for the rest of the run.
    QString glUser;
    QString glDataBase;
};

extern TdmCon *dmCon;
