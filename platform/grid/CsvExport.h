#pragma once
// The grid's rows as a comma-separated file that spreadsheets open as a table (RFC 4180):
// UTF-8 with a byte-order mark (without it spreadsheets read the diacritics as Latin-1),
// the column captions on the first line, CRLF after every record, a field quoted when it holds
// the separator, a quotation mark, CR or LF, and quotation marks inside it doubled. NULL is an
// empty field. No dialog and no window here: the caller says where the file goes.
#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace wik::grid {

class GridViewModel;

class CsvExport {
public:
    // Comma, as RFC 4180 has it; a spreadsheet set for a region that writes decimals with a
    // comma may expect ";" and would take that separator instead.
    static constexpr char16_t defaultSeparator = u',';

    explicit CsvExport(QChar separator = QChar(defaultSeparator)) : separator_(separator) {}
    QChar separator() const { return separator_; }

    // One field as it stands in a record.
    QString field(const QString &text) const;
    // One record: its fields, separated and quoted where needed, ended by CRLF, in UTF-8.
    QByteArray record(const QStringList &fields) const;
    static QByteArray byteOrderMark();

    // The text a cell is exported with: the cell's own text, except that a memo keeps its line
    // breaks (the grid folds them onto one line only to show the text; the file can hold them).
    static QString cellText(const GridViewModel &model, int sourceRow, int column);

    // The byte-order mark, the captions of `columns` (the grid's columns, in the order they are
    // written), then every data row that passes the filter row in the grid's order, rows
    // inside collapsed groups included; group rows are not data and are left out.
    void write(QIODevice &out, const GridViewModel &model, const QList<int> &columns) const;
    // The same into a file, replaced only once it is written whole (an existing file stays as
    // it was when writing fails). Raises wik::Error with the reason when the file cannot be
    // written.
    void save(const QString &path, const GridViewModel &model, const QList<int> &columns) const;

private:
    QChar separator_;
};

} // namespace wik::grid
