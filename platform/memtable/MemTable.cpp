#include "MemTable.h"

#include "Error.h"
#include "MemTableStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <utility>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace wik {

namespace {

std::string nativePath(const QString &path) {
    return QDir::toNativeSeparators(path).toStdString();
}

[[noreturn]] void cannotRead(const QString &path, const std::string &why) {
    throw Error("Fisierul " + nativePath(path) + " nu poate fi citit: " + why);
}

[[noreturn]] void cannotWrite(const QString &path, const std::string &why) {
    throw Error("Fisierul " + nativePath(path) + " nu poate fi scris: " + why);
}

// Why a file operation failed. Qt gives only "Unknown error" for a failed flush or rename, so the
// system's own text for the call's error number comes first.
std::string failureReason(const QFileDevice &file, int osError) {
    if (osError != 0)
        return qt_error_string(osError).toStdString();
    return file.errorString().toStdString();
}

// Forces the written bytes of an open file out to the disk before it takes the target's place.
bool syncToDisk(int handle) {
#if defined(Q_OS_UNIX)
    return ::fsync(handle) == 0;
#elif defined(Q_OS_WIN)
    return ::_commit(handle) == 0;
#else
    return true;
#endif
}

// After the rename the folder's entry is synced too, so that the new name survives a power loss.
// Only a matter of durability: the file itself is already complete, so a failure is ignored.
void syncFolder([[maybe_unused]] const QString &folder) {
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
#endif
}

} // namespace

MemTable::MemTable(QString name, QObject *parent) : QObject(parent), name_(std::move(name)) {}

void MemTable::addField(const QString &name, int size) {
    if (active_)
        throw Error("Campul " + name.toStdString() + " nu poate fi adaugat: tabela " +
                    name_.toStdString() + " este deschisa");
    if (fieldIndex(name) >= 0)
        throw Error("Campul " + name.toStdString() + " exista deja in tabela " +
                    name_.toStdString());
    fields_.append(FieldDef{name, size});
}

int MemTable::fieldIndex(const QString &name) const {
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

int MemTable::fieldIndexOrThrow(const QString &name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error("Campul " + name.toStdString() + " nu exista in tabela " + name_.toStdString());
    return index;
}

void MemTable::setActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    rows_.clear();
    current_ = -1;
    emit stateChanged();
}

void MemTable::setCurrentRow(int row) {
    if (row < 0 || row >= recordCount())
        throw Error("Tabela " + name_.toStdString() + " nu are randul " + std::to_string(row));
    if (row == current_)
        return;
    current_ = row;
    emit stateChanged();
}

void MemTable::append() {
    if (!active_)
        throw Error("Tabela " + name_.toStdString() + " nu este deschisa");
    rows_.emplace_back(fields_.size());
    current_ = recordCount() - 1;
    emit stateChanged();
}

void MemTable::emptyTable() {
    if (rows_.empty())
        return;
    rows_.clear();
    current_ = -1;
    emit stateChanged();
}

FieldValue MemTable::value(int field) const {
    if (field < 0 || field >= fields_.size())
        throw Error("Tabela " + name_.toStdString() + " nu are campul " + std::to_string(field));
    if (current_ < 0)
        return std::nullopt;
    return rows_[current_][field];
}

void MemTable::checkFits(int field, const FieldValue &value) const {
    const FieldDef &def = fields_[field];
    if (value && def.size > 0 && value->size() > def.size)
        throw Error("Valoarea campului " + def.name.toStdString() + " depaseste " +
                    std::to_string(def.size) + " de caractere");
}

void MemTable::setValue(int field, const FieldValue &value) {
    if (field < 0 || field >= fields_.size())
        throw Error("Tabela " + name_.toStdString() + " nu are campul " + std::to_string(field));
    if (current_ < 0)
        throw Error("Tabela " + name_.toStdString() + " nu are un rand curent");
    checkFits(field, value);
    FieldValue &stored = rows_[current_][field];
    if (stored == value)
        return;
    stored = value;
    emit valueChanged(current_, field);
}

void MemTable::replaceRows(std::vector<Row> rows) {
    rows_ = std::move(rows);
    active_ = true;
    current_ = rows_.empty() ? -1 : 0;
    emit stateChanged();
}

void MemTable::saveToFile(const QString &path) const {
    const QByteArray document = memtable_storage::encode(name_, fields_, rows_);

    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        cannotWrite(path, "folderul " + nativePath(folder) + " nu poate fi creat");

    // The document goes to a temporary file beside the target and replaces it by a rename only
    // once it is complete on the disk, so a failure part way never destroys the last good file.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(path, failureReason(file, errno));
    errno = 0;
    if (file.write(document) != document.size() || !file.flush()) {
        const std::string why = failureReason(file, errno);
        file.cancelWriting();
        cannotWrite(path, why);
    }
    errno = 0;
    if (!syncToDisk(file.handle())) {
        const std::string why = failureReason(file, errno);
        file.cancelWriting();
        cannotWrite(path, why);
    }
    errno = 0;
    if (!file.commit())
        cannotWrite(path, failureReason(file, errno));
    syncFolder(folder);
}

void MemTable::loadFromFile(const QString &path) {
    std::vector<Row> rows;
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            cannotRead(path, file.errorString().toStdString());
        const QByteArray document = file.readAll();
        if (file.error() != QFileDevice::NoError)
            cannotRead(path, file.errorString().toStdString());
        try {
            rows = memtable_storage::decode(document, fields_);
        } catch (const Error &e) {
            cannotRead(path, e.message());
        }
    } catch (const Error &) {
        // What was held before is dropped all the same: the table is left open and empty, so the
        // values typed next are what a later save writes over the unreadable file.
        replaceRows({});
        throw;
    }
    replaceRows(std::move(rows));
}

} // namespace wik
