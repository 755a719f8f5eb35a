#include "PgQuery.h"

#include "PgError.h"
#include "ValueText.h"

#include "Error.h"

#include <algorithm>
#include <cstring>

namespace wik::db {

namespace {

[[noreturn]] void fail(const QString &message) { throw wik::Error(message.toStdString()); }

QByteArray quoteIdentifier(const QString &name) {
    QByteArray q = name.toUtf8();
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

PgQuery::PgQuery(QObject *parent) : QObject(parent) {}

PgQuery::~PgQuery() = default;

void PgQuery::setConnection(PgConnection *connection) {
    if (connection_ != connection) {
        Close();
        connection_ = connection;
    }
}

void PgQuery::setSql(const QString &sql) {
    Close();
    statement_.setSql(sql);
}

void PgQuery::addField(const FieldDef &def) {
    if (Active())
        fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    fields_.push_back(def);
    declaredCount_ = int(fields_.size());
    fieldByName_.insert(def.name.toLower(), declaredCount_ - 1);
}

void PgQuery::clearFields() {
    if (Active())
        fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    fields_.clear();
    declaredCount_ = 0;
    fieldByName_.clear();
}

int PgQuery::fieldIndex(const QString &name) const {
    return fieldByName_.value(name.toLower(), -1);
}

Field PgQuery::FieldByName(const QString &name) {
    const int i = fieldIndex(name);
    if (i < 0)
        fail(QStringLiteral("Field not found : ") + name);
    return Field(this, i);
}

void PgQuery::setKeyFields(const QString &names) {
    keyNames_.clear();
    QString list = names;
    list.replace(u',', u';');
    for (const QString &n : list.split(u';', Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            keyNames_ << n.trimmed();
}

void PgQuery::checkActive() const {
    if (!Active())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

std::unique_ptr<RowSet> PgQuery::runQuery() {
    if (!connection_)
        fail(QStringLiteral("Connection not assigned : ") + objectName());
    const std::vector<WireValue> values = statement_.wireValues();
    PgConnection::Operation op(*connection_);
    return op.fetch(statement_.serverSql(), values);
}

// Binds each declared field to the result column of the same name (case does not matter) and
// checks its type; a data set without declared fields gets one field per column.
std::vector<int> PgQuery::bindColumns(const RowSet &rows,
                                      std::vector<FieldDef> *autoFields) const {
    const int columns = rows.columnCount();
    std::vector<int> columnOf;
    if (declaredCount_ == 0) {
        for (int c = 0; c < columns; ++c) {
            FieldDef def;
            def.name = QString::fromUtf8(rows.columnName(c));
            def.kind = defaultKindFor(rows.columnType(c));
            autoFields->push_back(def);
            columnOf.push_back(c);
        }
        return columnOf;
    }
    QHash<QString, int> columnByName;
    columnByName.reserve(columns);
    for (int c = columns - 1; c >= 0; --c) // the first of equal names wins
        columnByName.insert(QString::fromUtf8(rows.columnName(c)).toLower(), c);
    columnOf.reserve(declaredCount_);
    for (int f = 0; f < declaredCount_; ++f) {
        const FieldDef &def = fields_[f];
        const int c = columnByName.value(def.name.toLower(), -1);
        if (c < 0)
            fail(QStringLiteral("Field not found : ") + def.name);
        const Oid type = rows.columnType(c);
        if (!isCompatible(def.kind, type))
            fail(QStringLiteral("Type mismatch for field : %1, expecting: %2 actual: %3")
                     .arg(def.name, QString::fromLatin1(fieldKindName(def.kind)), typeName(type)));
        columnOf.push_back(c);
    }
    return columnOf;
}

void PgQuery::install(std::unique_ptr<RowSet> rows, std::vector<int> columns,
                      std::vector<FieldDef> autoFields, int current) {
    emit aboutToReset();
    rows_ = std::move(rows);
    rowCount_ = rows_ ? rows_->rowCount() : 0;
    columnOf_ = std::move(columns);
    saved_.clear();
    pending_.clear();
    editing_ = false;
    // automatic fields live as long as the rows they describe
    if (int(fields_.size()) > declaredCount_ || !autoFields.empty()) {
        fields_.resize(declaredCount_);
        fieldByName_.clear();
        for (const FieldDef &f : autoFields)
            fields_.push_back(f);
        for (int i = int(fields_.size()) - 1; i >= 0; --i)
            fieldByName_.insert(fields_[i].name.toLower(), i);
    }
    recNo_ = rowCount_ > 0 ? std::clamp(current, 0, rowCount_ - 1) : -1;
    eof_ = bof_ = rowCount_ == 0;
    emit reset();
    emit currentRowChanged(recNo_);
    emit stateChanged(State());
}

void PgQuery::Open() {
    if (Active())
        return;
    std::unique_ptr<RowSet> rows = runQuery();
    std::vector<FieldDef> autoFields;
    std::vector<int> columns = bindColumns(*rows, &autoFields);
    install(std::move(rows), std::move(columns), std::move(autoFields), 0);
}

void PgQuery::Close() {
    if (!Active())
        return;
    install(nullptr, {}, {}, -1);
}

std::vector<int> PgQuery::keyFieldIndexes() const {
    std::vector<int> keys;
    for (const QString &name : keyNames_) {
        const int i = fieldIndex(name);
        if (i < 0)
            fail(QStringLiteral("Field not found : ") + name);
        keys.push_back(i);
    }
    return keys;
}

std::vector<std::optional<QByteArray>> PgQuery::rowKey(int row, const std::vector<int> &keys) const {
    std::vector<std::optional<QByteArray>> key;
    for (int f : keys) {
        const Cell c = cell(row, f, false);
        key.push_back(c.null ? std::nullopt : std::optional<QByteArray>(QByteArray(c.data, c.length)));
    }
    return key;
}

void PgQuery::Refresh() {
    checkActive();
    checkBrowseMode();
    const std::vector<int> keys = keyFieldIndexes();
    std::vector<std::optional<QByteArray>> currentKey;
    if (!keys.empty() && recNo_ >= 0)
        currentKey = rowKey(recNo_, keys);

    std::unique_ptr<RowSet> rows = runQuery();
    std::vector<FieldDef> autoFields;
    std::vector<int> columns = bindColumns(*rows, &autoFields);

    int current = 0;
    if (!currentKey.empty()) {
        // One pass over the new rows, comparing the key texts where they are kept.
        const RowSet &r = *rows;
        std::vector<int> keyColumns;
        for (const QString &name : keyNames_) {
            int col = -1;
            for (int c = 0; c < r.columnCount() && col < 0; ++c)
                if (QString::fromUtf8(r.columnName(c)).compare(name, Qt::CaseInsensitive) == 0)
                    col = c;
            keyColumns.push_back(col);
        }
        for (int row = 0; row < r.rowCount(); ++row) {
            bool same = true;
            for (std::size_t k = 0; k < keyColumns.size() && same; ++k) {
                const int c = keyColumns[k];
                const std::optional<QByteArray> &want = currentKey[k];
                if (c < 0 || !want || r.isNull(row, c))
                    same = false; // a NULL key identifies nothing
                else
                    same = r.length(row, c) == want->size() &&
                           std::memcmp(r.value(row, c), want->constData(), want->size()) == 0;
            }
            if (same) {
                current = row;
                break;
            }
        }
    }
    install(std::move(rows), std::move(columns), std::move(autoFields), current);
}

void PgQuery::moveTo(int row, bool eof, bool bof) {
    const int old = recNo_;
    recNo_ = row;
    eof_ = eof;
    bof_ = bof;
    if (old != recNo_)
        emit currentRowChanged(recNo_);
}

void PgQuery::setRecNo(int row) {
    if (rowCount_ == 0)
        return;
    checkBrowseMode();
    const int r = std::clamp(row, 0, rowCount_ - 1);
    moveTo(r, false, false);
}

void PgQuery::First() {
    checkBrowseMode();
    moveTo(rowCount_ > 0 ? 0 : -1, rowCount_ == 0, true);
}

void PgQuery::Last() {
    checkBrowseMode();
    moveTo(rowCount_ - 1, true, rowCount_ == 0);
}

void PgQuery::Next() {
    checkBrowseMode();
    if (recNo_ + 1 < rowCount_)
        moveTo(recNo_ + 1, false, false);
    else
        eof_ = true;
}

void PgQuery::Prior() {
    checkBrowseMode();
    if (recNo_ > 0)
        moveTo(recNo_ - 1, false, false);
    else
        bof_ = true;
}

DataSetState PgQuery::State() const {
    if (!Active())
        return DataSetState::Inactive;
    return editing_ ? DataSetState::Edit : DataSetState::Browse;
}

void PgQuery::checkBrowseMode() {
    if (editing_)
        Post();
}

void PgQuery::Edit() {
    checkActive();
    if (editing_)
        return;
    if (readOnly_)
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (recNo_ < 0)
        fail(QStringLiteral("No current record : ") + objectName());
    editing_ = true;
    pending_.clear();
    emit stateChanged(State());
}

void PgQuery::Cancel() {
    if (!editing_)
        return;
    editing_ = false;
    pending_.clear();
    emit rowChanged(recNo_);
    emit stateChanged(State());
}

int PgQuery::requireField(int field) const {
    if (field < 0 || field >= int(fields_.size()))
        fail(QStringLiteral("Field not found : %1").arg(field));
    return field;
}

void PgQuery::checkAssignable(int field) const {
    requireField(field);
    const FieldDef &def = fields_[field];
    if (!editing_)
        fail(QStringLiteral("Dataset not in edit mode : ") + def.name);
    if (def.readOnly)
        fail(QStringLiteral("Field cannot be modified : ") + def.name);
}

void PgQuery::assign(int field, std::optional<QByteArray> text) {
    checkAssignable(field);
    for (Assigned &a : pending_)
        if (a.field == field) {
            a.text = std::move(text);
            return;
        }
    pending_.push_back({field, std::move(text)});
}

void PgQuery::Post() {
    checkActive();
    if (!editing_)
        fail(QStringLiteral("Dataset not in edit mode : ") + objectName());
    if (pending_.empty()) {
        editing_ = false;
        emit stateChanged(State());
        return;
    }
    if (updateTable_.isEmpty())
        fail(QStringLiteral("No update table : ") + objectName());
    const std::vector<int> keys = keyFieldIndexes();
    if (keys.empty())
        fail(QStringLiteral("No key fields : ") + objectName());

    // The row's key as read (or as last saved), not as just assigned.
    const std::vector<std::optional<QByteArray>> key = rowKey(recNo_, keys);

    auto keyText = [&]() {
        QStringList parts;
        for (std::size_t k = 0; k < keys.size(); ++k)
            parts << fields_[keys[k]].name + u'=' +
                         (key[k] ? valuetext::toDisplay(fields_[keys[k]].kind, key[k]->constData(),
                                                        int(key[k]->size()))
                                 : QStringLiteral("NULL"));
        return parts.join(u' ');
    };
    for (const auto &k : key)
        if (!k) // a row whose key is NULL cannot be found in the table
            fail(QStringLiteral("Record not found : ") + updateTable_ + u' ' + keyText());

    // Only the assigned columns; each value is a parameter of the column's own type.
    QByteArray sql = "UPDATE " + updateTable_.toUtf8() + " SET ";
    std::vector<WireValue> values;
    const RowSet &r = *rows_;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        const int c = columnOf_[pending_[i].field];
        if (i > 0)
            sql += ", ";
        sql += quoteIdentifier(QString::fromUtf8(r.columnName(c))) + " = $" +
               QByteArray::number(int(values.size()) + 1);
        values.push_back({pending_[i].text, r.columnType(c)});
    }
    sql += " WHERE ";
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k > 0)
            sql += " AND ";
        const int c = columnOf_[keys[k]];
        sql += quoteIdentifier(QString::fromUtf8(r.columnName(c))) + " = $" +
               QByteArray::number(int(values.size()) + 1);
        values.push_back({key[k], r.columnType(c)});
    }

    if (!connection_)
        fail(QStringLiteral("Connection not assigned : ") + objectName());
    PgResultHandle done;
    {
        PgConnection::Operation op(*connection_);
        done = op.exec(sql, values);
    }
    // A row deleted meanwhile updates nothing: that is a failure, never a success.
    if (std::strcmp(PQcmdTuples(done.get()), "0") == 0)
        fail(QStringLiteral("Record not found : ") + updateTable_ + u' ' + keyText());

    std::vector<Assigned> &saved = saved_[recNo_];
    for (Assigned &a : pending_) {
        auto it = std::find_if(saved.begin(), saved.end(), [&](const Assigned &s) { return s.field == a.field; });
        if (it != saved.end())
            it->text = std::move(a.text);
        else
            saved.push_back(std::move(a));
    }
    pending_.clear();
    editing_ = false;
    emit rowChanged(recNo_);
    emit stateChanged(State());
}

PgQuery::Cell PgQuery::cell(int row, int field, bool withPending) const {
    Cell c;
    if (!rows_ || row < 0 || row >= rowCount_ || field < 0 || field >= int(fields_.size()))
        return c;
    auto fromAssigned = [&](const Assigned &a) {
        c.null = !a.text;
        if (a.text) {
            c.data = a.text->constData();
            c.length = int(a.text->size());
        }
    };
    if (withPending && editing_ && row == recNo_)
        for (const Assigned &a : pending_)
            if (a.field == field) {
                fromAssigned(a);
                return c;
            }
    if (!saved_.empty()) {
        auto it = saved_.find(row);
        if (it != saved_.end())
            for (const Assigned &a : it->second)
                if (a.field == field) {
                    fromAssigned(a);
                    return c;
                }
    }
    const int col = columnOf_[field];
    if (rows_->isNull(row, col))
        return c;
    c.null = false;
    c.data = rows_->value(row, col);
    c.length = rows_->length(row, col);
    return c;
}

bool PgQuery::isNull(int row, int field) const { return cell(row, field).null; }

QString PgQuery::displayText(int row, int field) const {
    const Cell c = cell(row, field);
    return c.null ? QString() : valuetext::toDisplay(fields_[field].kind, c.data, c.length);
}

QVariant PgQuery::value(int row, int field) const {
    const Cell c = cell(row, field);
    return c.null ? QVariant() : valuetext::toValue(fields_[field].kind, c.data, c.length);
}

// ---- Field ----

const FieldDef &Field::def() const { return dataSet_->fields_.at(index_); }

bool Field::IsNull() const { return dataSet_->isNull(dataSet_->recNo_, index_); }

QString Field::AsString() const { return dataSet_->displayText(dataSet_->recNo_, index_); }

QVariant Field::Value() const { return dataSet_->value(dataSet_->recNo_, index_); }

QDate Field::AsDate() const {
    const QVariant v = Value();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.metaType().id() == QMetaType::QDate ? v.toDate() : QDate();
}

QDateTime Field::AsDateTime() const {
    const QVariant v = Value();
    if (v.metaType().id() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.metaType().id() == QMetaType::QDateTime ? v.toDateTime() : QDateTime();
}

qlonglong Field::AsInteger() const { return Value().toLongLong(); }

double Field::AsFloat() const { return Value().toDouble(); }

bool Field::AsBoolean() const { return Value().toBool(); }

void Field::SetValue(const QVariant &value) {
    const FieldDef &d = def();
    dataSet_->checkAssignable(index_);
    if (!value.isValid() || value.isNull()) {
        dataSet_->assign(index_, std::nullopt);
        return;
    }
    std::optional<QByteArray> text = valuetext::toWire(d.kind, value);
    if (!text)
        throw wik::Error("Invalid value for field : " + d.name.toStdString());
    dataSet_->assign(index_, std::move(text));
}

void Field::SetNull() { dataSet_->assign(index_, std::nullopt); }

} // namespace wik::db
