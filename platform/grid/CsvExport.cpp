#include "CsvExport.h"

#include "Error.h"
#include "GridViewModel.h"

#include <QIODevice>
#include <QSaveFile>

namespace wik::grid {

namespace {

constexpr qsizetype flushSize = 64 * 1024;

// Writes what the buffer holds; false when the device refused part of it.
bool flush(QIODevice &out, QByteArray &buffer) {
    const bool ok = buffer.isEmpty() || out.write(buffer) == buffer.size();
    buffer.clear();
    return ok;
}

} // namespace

QString CsvExport::field(const QString &text) const {
    bool quote = false;
    for (const QChar c : text) {
        if (c == separator_ || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote)
        return text;
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
    return out;
}

QByteArray CsvExport::record(const QStringList &fields) const {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += separator_;
        line += field(fields[i]);
    }
    line += QLatin1String("\r\n");
    return line.toUtf8();
}

QByteArray CsvExport::byteOrderMark() {
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QString CsvExport::cellText(const GridViewModel &model, int sourceRow, int column) {
    if (column >= 0 && column < model.columns().size() && model.columns()[column].kind == DisplayKind::Memo) {
        const QVariant v = model.value(sourceRow, column);
        return v.isValid() && !v.isNull() ? v.toString() : QString();
    }
    return model.displayText(sourceRow, column);
}

void CsvExport::write(QIODevice &out, const GridViewModel &model, const QList<int> &columns) const {
    QByteArray buffer = byteOrderMark();
    QStringList fields;
    for (int c : columns)
        fields << model.columnCaption(c);
    buffer += record(fields);
    const int rows = model.filteredCount();
    for (int p = 0; p < rows; ++p) {
        const int sourceRow = model.filteredSourceRow(p);
        fields.clear();
        for (int c : columns)
            fields << cellText(model, sourceRow, c);
        buffer += record(fields);
        if (buffer.size() >= flushSize && !flush(out, buffer))
            return; // the device keeps the error; the caller reads it
    }
    flush(out, buffer);
}

void CsvExport::save(const QString &path, const GridViewModel &model, const QList<int> &columns) const {
    const auto failed = [&path](const QString &reason) {
        return Error(QStringLiteral("Fisierul \"%1\" nu a putut fi scris: %2").arg(path, reason).toStdString());
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    write(file, model, columns);
    // A failed write is remembered by the file: commit refuses it and keeps the old file.
    if (!file.commit())
        throw failed(file.errorString());
}

} // namespace wik::grid
