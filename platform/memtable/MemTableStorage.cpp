#include "MemTableStorage.h"

#include "Error.h"

#include <nlohmann/json.hpp>

#include <QStringDecoder>

#include <string>

namespace wik::memtable_storage {

namespace {

using nlohmann::json;

// The layout's version number, written as the first member of "FDBS".
constexpr int storageVersion = 16;

[[noreturn]] void fail(const std::string &why) {
    throw Error(why);
}

std::string named(const char *key) {
    return std::string("\"") + key + "\"";
}

const json &member(const json &parent, const char *key) {
    const auto it = parent.find(key);
    if (it == parent.end())
        fail("lipseste " + named(key));
    return *it;
}

const json &objectMember(const json &parent, const char *key) {
    const json &value = member(parent, key);
    if (!value.is_object())
        fail(named(key) + " nu este un obiect");
    return value;
}

const json &arrayMember(const json &parent, const char *key) {
    const json &value = member(parent, key);
    if (!value.is_array())
        fail(named(key) + " nu este o lista");
    return value;
}

// The values of a stored row: "Current" for a row added or changed since it was last accepted,
// otherwise "Original"; a row with neither holds only NULLs.
const json *rowValues(const json &row) {
    for (const char *key : {"Current", "Original"}) {
        if (row.contains(key))
            return &objectMember(row, key);
    }
    return nullptr;
}

// A value's text. Not QString::fromUtf8, which drops a leading U+FEFF: the byte-order mark that
// begins the file is read by the parser, one at the start of a value is part of the value.
QString textOf(const std::string &utf8) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

StoredRow readRow(const json &row, const QList<FieldDef> &fields) {
    if (!row.is_object())
        fail("primul rand din \"RowList\" nu este un obiect");
    const json *values = rowValues(row);
    StoredRow result(fields.size());
    if (!values)
        return result;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const FieldDef &field = fields[i];
        const std::string key = field.name.toStdString();
        const auto it = values->find(key);
        if (it == values->end() || it->is_null())
            continue; // a NULL value is left out
        if (!it->is_string())
            fail("valoarea coloanei \"" + key + "\" nu este un text");
        QString text = textOf(it->get_ref<const std::string &>());
        if (field.size > 0 && text.size() > field.size)
            fail("valoarea coloanei \"" + key + "\" depaseste " + std::to_string(field.size) +
                 " de caractere");
        result[i] = std::move(text);
    }
    return result;
}

} // namespace

QByteArray quoted(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        // clang-format off
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        // clang-format on
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char hex[] = "0123456789ABCDEF";
                out += "\\u00";
                out += hex[(c >> 4) & 0xF];
                out += hex[c & 0xF];
            } else {
                out += c; // the bytes of non-ASCII characters are all above 0x7F
            }
        }
    }
    out += '"';
    return out;
}

QByteArray encode(const QString &tableName, const QList<FieldDef> &fields,
                  const std::vector<StoredRow> &rows) {
    QByteArray out("\xEF\xBB\xBF");
    out += "{\"FDBS\":{\"Version\":" + QByteArray::number(storageVersion) +
           ",\"Manager\":{\"TableList\":[{\"class\":\"Table\",\"Name\":" + quoted(tableName) +
           ",\"ColumnList\":[";
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += "{\"class\":\"Column\",\"Name\":" + quoted(fields[i].name) +
               ",\"DataType\":\"WideString\",\"Size\":" + QByteArray::number(fields[i].size) + '}';
    }
    out += "],\"ConstraintList\":[],\"ViewList\":[],\"RowList\":[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0)
            out += ',';
        out += "{\"RowID\":" + QByteArray::number(static_cast<qulonglong>(r)) + ",\"Original\":{";
        bool first = true;
        for (qsizetype i = 0; i < fields.size() && i < static_cast<qsizetype>(rows[r].size());
             ++i) {
            const FieldValue &value = rows[r][i];
            if (!value)
                continue;
            if (!first)
                out += ',';
            first = false;
            out += quoted(fields[i].name) + ':' + quoted(*value);
        }
        out += "}}";
    }
    out += "]}],\"RelationList\":[]}}}";
    return out;
}

std::vector<StoredRow> decode(const QByteArray &document, const QList<FieldDef> &fields) {
    if (document.isEmpty())
        fail("fisierul este gol");
    json doc;
    try {
        doc = json::parse(document.cbegin(), document.cend());
    } catch (const json::parse_error &e) {
        fail("nu este un document JSON valid (eroare la octetul " + std::to_string(e.byte) + ")");
    } catch (const json::exception &) {
        // The parser refuses a number beyond the range of a double as out of range.
        fail("nu este un document JSON valid (un numar in afara domeniului)");
    }
    if (!doc.is_object())
        fail("documentul nu este un obiect JSON");
    const json &manager = objectMember(objectMember(doc, "FDBS"), "Manager");
    const json &tables = arrayMember(manager, "TableList");
    if (tables.empty())
        fail("\"TableList\" nu contine nicio tabela");
    const json &table = tables.front();
    if (!table.is_object())
        fail("tabela din \"TableList\" nu este un obiect");
    const json &rows = arrayMember(table, "RowList");
    if (rows.empty())
        return {};
    return {readRow(rows.front(), fields)};
}

} // namespace wik::memtable_storage
