#pragma once
// The JSON storage layout of a memory table: the document's bytes from a table's fields and rows,
// and the rows back from a document.
#include "MemTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace wik::memtable_storage {

using StoredRow = std::vector<FieldValue>;

// The document for a table: UTF-8 with a byte-order mark, compact, the values of each row under
// "Original", a NULL value left out.
QByteArray encode(const QString &tableName, const QList<FieldDef> &fields,
                  const std::vector<StoredRow> &rows);

// The rows a document holds for the given fields: none, or the first row of its "RowList", its
// values taken from "Current" when the row has it, else from "Original". A document that is not
// of the layout raises an Error whose message says why.
std::vector<StoredRow> decode(const QByteArray &document, const QList<FieldDef> &fields);

// A string as the storage writes it, quotes included: the slash escaped as well, control
// characters without a short escape as \u00XX, everything else as itself in UTF-8.
QByteArray quoted(const QString &text);

} // namespace wik::memtable_storage
