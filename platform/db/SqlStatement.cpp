#include "SqlStatement.h"

#include "Error.h"

namespace wik::db {

namespace {

bool nameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool namePart(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Index just past a dollar-quote opening tag starting at i ("$$" or "$tag$"), or -1.
qsizetype dollarTagEnd(const QString &s, qsizetype i) {
    qsizetype j = i + 1;
    if (j < s.size() && (s[j].isDigit()))
        return -1; // "$1" is a positional parameter, not a tag
    while (j < s.size() && s[j] != u'$') {
        if (!(s[j].isLetterOrNumber() || s[j] == u'_'))
            return -1;
        ++j;
    }
    return j < s.size() ? j + 1 : -1;
}

} // namespace

Param *SqlStatement::find(const QString &name) {
    for (auto &p : params_)
        if (p->name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

Param &SqlStatement::byName(const QString &name) {
    if (Param *p = find(name))
        return *p;
    throw wik::Error("Parameter not found : " + name.toStdString());
}

void SqlStatement::setSql(const QString &sql) {
    std::vector<std::unique_ptr<Param>> old = std::move(params_);
    params_.clear();
    sql_ = sql;

    QString out;
    out.reserve(sql.size() + 8);
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](qsizetype end) {
        out += QStringView(sql).mid(i, end - i);
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // A literal or quoted identifier; a doubled quote stays inside. In E'...' strings a
            // backslash escapes the next character.
            const bool backslashEscapes =
                c == u'\'' && i > 0 && (sql[i - 1] == u'E' || sql[i - 1] == u'e') &&
                (i < 2 || !namePart(sql[i - 2]));
            qsizetype j = i + 1;
            while (j < n) {
                if (backslashEscapes && sql[j] == u'\\') {
                    j += 2;
                    continue;
                }
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            copyUntil(std::min(n, j + 1));
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            qsizetype j = sql.indexOf(u'\n', i);
            copyUntil(j < 0 ? n : j);
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            // block comments nest
            int depth = 0;
            qsizetype j = i;
            while (j < n) {
                if (sql[j] == u'/' && j + 1 < n && sql[j + 1] == u'*') {
                    ++depth;
                    j += 2;
                } else if (sql[j] == u'*' && j + 1 < n && sql[j + 1] == u'/') {
                    j += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++j;
                }
            }
            copyUntil(std::min(n, j));
        } else if (c == u'$' && (i == 0 || !namePart(sql[i - 1])) && dollarTagEnd(sql, i) > 0) {
            const qsizetype tagEnd = dollarTagEnd(sql, i);
            const QString tag = sql.mid(i, tagEnd - i);
            const qsizetype close = sql.indexOf(tag, tagEnd);
            copyUntil(close < 0 ? n : close + tag.size());
        } else if (c == u':' && i + 1 < n && sql[i + 1] == u':') {
            copyUntil(i + 2);
        } else if (c == u':' && i + 1 < n && nameStart(sql[i + 1])) {
            qsizetype j = i + 2;
            while (j < n && namePart(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            int number = 0;
            for (std::size_t k = 0; k < params_.size(); ++k)
                if (params_[k]->name().compare(name, Qt::CaseInsensitive) == 0)
                    number = int(k) + 1;
            if (number == 0) {
                std::unique_ptr<Param> p;
                for (auto &o : old)
                    if (o && o->name().compare(name, Qt::CaseInsensitive) == 0)
                        p = std::move(o);
                params_.push_back(p ? std::move(p) : std::make_unique<Param>(name));
                number = int(params_.size());
            }
            out += u'$';
            out += QString::number(number);
            i = j;
        } else {
            ++i;
            out += c;
        }
    }
    serverSql_ = out.toUtf8();
}

std::vector<WireValue> SqlStatement::wireValues() const {
    std::vector<WireValue> values;
    values.reserve(params_.size());
    for (const auto &p : params_)
        values.push_back(p->wire());
    return values;
}

} // namespace wik::db
