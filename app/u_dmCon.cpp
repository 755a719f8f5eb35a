#include "u_dmCon.h"

TdmCon *dmCon = nullptr;

TdmCon::TdmCon(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("dmCon")); }

TdmCon::~TdmCon() = default;
