#pragma once
// A statement text with named parameters (":name") and the parameters it names. The text is
// rewritten once into the server's numbered form ($1, $2, ...); every value then travels as a
// bound parameter, never inside the text.
//
// What counts as a parameter: a ":" followed by a letter or "_" and further letters, digits,
// "_" or "$". Not parameters: "::" casts, anything inside string literals ('...', E'...'),
// quoted identifiers ("..."), dollar-quoted strings ($tag$...$tag$) and comments (-- and /* */).
// Names match without regard to case; a name used several times is one parameter.
#include "Param.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace wik::db {

class SqlStatement {
public:
    // Sets the text. Parameters whose names the new text still uses keep their values.
    void setSql(const QString &sql);
    const QString &sql() const { return sql_; }
    // The text as sent to the server (UTF-8, "$n" in place of the names).
    const QByteArray &serverSql() const { return serverSql_; }

    int count() const { return int(params_.size()); }
    Param &at(int i) { return *params_[i]; }
    const Param &at(int i) const { return *params_[i]; }
    Param *find(const QString &name);
    // Raises "Parameter not found : <name>" for a name the text does not use.
    Param &byName(const QString &name);

    // The values in the order of their numbers.
    std::vector<WireValue> wireValues() const;

private:
    QString sql_;
    QByteArray serverSql_;
    std::vector<std::unique_ptr<Param>> params_; // stable addresses: callers keep references
};

} // namespace wik::db
