// The saved-login file: whatever bytes lie in it (a damaged file, a file of another program,
// a hand-edited one), reading it either gives the remembered row or raises the storage's Error,
// nothing else; and every row the table can hold is written so that it reads back unchanged.
//
// The input is used twice:
// - whole, as the file's bytes: decoding gives at most one row of two values, each within the
//   field's 200 characters, or raises wik::Error; a row it gives is written and read back equal;
// - split at its first NUL byte into a company and a user name (invalid UTF-8 becomes U+FFFD, as
//   text typed into a box never holds a broken character), cut to the field's size, with the
//   following byte choosing NULLs, and the rest also as the table's name: the row is written and
//   read back equal.
#include "Error.h"
#include "FuzzCheck.h"
#include "MemTableStorage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using wik::memtable_storage::StoredRow;

const QList<wik::FieldDef> &loginFields() {
    static const QList<wik::FieldDef> fields{{QStringLiteral("company"), 200},
                                             {QStringLiteral("username"), 200}};
    return fields;
}

void checkRoundTrip(const QString &tableName, const std::vector<StoredRow> &rows) {
    const QByteArray document = wik::memtable_storage::encode(tableName, loginFields(), rows);
    std::vector<StoredRow> back;
    try {
        back = wik::memtable_storage::decode(document, loginFields());
    } catch (const wik::Error &e) {
        std::fprintf(stderr, "the writer's own document was refused: %s\n", e.what());
        FUZZ_CHECK(false);
    }
    FUZZ_CHECK(back == rows);
}

QString fromBytes(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Cut to the field's size without splitting a character into a lone surrogate, as the box's
// length limit would leave it.
QString fitted(QString text, int size) {
    if (text.size() > size) {
        text.truncate(size);
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    // 1. The bytes as a file.
    std::vector<StoredRow> rows;
    bool read = false;
    try {
        rows = wik::memtable_storage::decode(QByteArray(bytes.data(), qsizetype(bytes.size())),
                                             loginFields());
        read = true;
    } catch (const wik::Error &e) {
        FUZZ_CHECK(!e.message().empty());
    }
    // Any other exception leaves this function and libFuzzer reports it as a crash.
    if (read) {
        FUZZ_CHECK(rows.size() <= 1);
        for (const StoredRow &row : rows) {
            FUZZ_CHECK(row.size() == 2);
            for (const auto &value : row)
                FUZZ_CHECK(!value || value->size() <= 200);
        }
        checkRoundTrip(QStringLiteral("dsLogin"), rows);
    }

    // 2. The bytes as values typed into the boxes.
    const std::size_t nul = bytes.find('\0');
    const std::string_view company = bytes.substr(0, nul);
    std::string_view rest = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    const unsigned char nulls = rest.empty() ? 0 : static_cast<unsigned char>(rest.front());
    if (!rest.empty())
        rest.remove_prefix(1);
    StoredRow row(2);
    if (!(nulls & 1))
        row[0] = fitted(fromBytes(company), 200);
    if (!(nulls & 2))
        row[1] = fitted(fromBytes(rest), 200);
    checkRoundTrip(fromBytes(rest), {row});
    return 0;
}
