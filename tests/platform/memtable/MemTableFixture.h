#pragma once
// The remembered-login table as the sign-in declares it, and file helpers for the tests.
#include "MemTable.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

inline std::unique_ptr<wik::MemTable> makeLoginTable() {
    auto table = std::make_unique<wik::MemTable>(QStringLiteral("dsLogin"));
    table->addField(QStringLiteral("company"), 200);
    table->addField(QStringLiteral("username"), 200);
    return table;
}

inline QByteArray readBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Compact spelling of an optional text for assertions.
inline std::string shown(const wik::FieldValue &value) {
    return value ? "'" + value->toStdString() + "'" : std::string("NULL");
}
