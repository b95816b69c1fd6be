#include "store/server_row_source.h"

#include "store/connection.h"
#include "store/schema.h"

#include <algorithm>

namespace {

// Keys learnt per statement: the server's answer is held whole in memory
// until it is read, so a result of a million keys is learnt in slices.
constexpr int keySlice = 65536;

bool nameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == '_';
}

} // namespace

QString ServerRowSource::positional(const QString &text, const Parameters &named, const QVariantList &positional,
                                    QVariantList &values)
{
    QString out;
    out.reserve(text.size());
    QChar quote;
    int nextPositional = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            values << positional.value(nextPositional++);
        } else if (c == ':' && i + 1 < text.size() && text.at(i + 1) == ':') {
            out += QStringLiteral("::");  // the server's cast, not a parameter
            ++i;
            continue;
        } else if (c == ':' && i + 1 < text.size() && nameCharacter(text.at(i + 1))) {
            int end = i + 1;
            while (end < text.size() && nameCharacter(text.at(end)))
                ++end;
            values << named.value(text.mid(i + 1, end - i - 1));
            out += '?';
            i = end - 1;
            continue;
        }
        out += c;
    }
    return out;
}

ServerSession::Result ServerRowSource::run(const QString &text, const QVariantList &positional,
                                           const Parameters &extra) const
{
    Parameters named = parameters_;
    named.insert(extra);
    QVariantList values;
    const QString statement = ServerRowSource::positional(text, named, positional, values);
    return connection_->serverRows(statement, values);
}

ServerSession::Result ServerRowSource::walk(SelectShape::Walk direction, qint64 after, qint64 bound, int limit) const
{
    return run(shape_->rowidsInOrder(direction), {},
               {{QStringLiteral("rowid_after_"), after},
                {QStringLiteral("rowid_bound_"), bound},
                {QStringLiteral("rowid_limit_"), limit}});
}

std::vector<RowSource::Column> ServerRowSource::columnsOf(const ServerSession::Result &result, int offset)
{
    std::vector<Column> columns;
    for (int column = offset; column < result.columnCount(); ++column)
        columns.push_back({result.columnName(column), result.declaredType(column)});
    return columns;
}

std::vector<RowSource::Column> ServerRowSource::columns()
{
    const ServerSession::Result none =
        run(QStringLiteral("select %1 from %2 where false").arg(shape_->columns, shape_->table));
    std::vector<Column> columns = columnsOf(none, 0);
    if (shape_->columns.trimmed() == QLatin1String("*")) {
        // A file's "*" has no rowid among its columns; the server's key is a
        // column like any other, so the columns are named one by one.
        std::erase_if(columns, [](const Column &column) { return column.name == QLatin1String("_rowid_"); });
        QStringList names;
        for (const Column &column : columns)
            names << '"' + QString(column.name).replace('"', QStringLiteral("\"\"")) + '"';
        shape_->columns = names.join(',');
    }
    return columns;
}

bool ServerRowSource::removalsKept()
{
    // Kept by the triggers of each of our tables, under its name as they give
    // it; a database whose triggers someone dropped is read the slow way.
    const QList<Schema::Table> &tables = Schema::tables();
    if (std::none_of(tables.begin(), tables.end(), [this](const Schema::Table &table) { return table.name == shape_->table; }))
        return false;
    return connection_->scalar(QStringLiteral("select count(*) from pg_trigger where tgrelid = to_regclass(?) "
                                              "and tgname in (?, ?) and tgenabled <> 'D'"),
                               {shape_->table, shape_->table + QStringLiteral("_removed"),
                                shape_->table + QStringLiteral("_emptied")})
               .toInt()
           == 2;
}

std::vector<RowSource::Column> ServerRowSource::readWhole(const QString &text, std::vector<SnapshotCache::Row> &rows)
{
    const ServerSession::Result result = run(text);
    std::vector<SnapshotCache::Row> read = readAll(result, false);
    std::move(read.begin(), read.end(), std::back_inserter(rows));
    return columnsOf(result, 0);
}

int ServerRowSource::appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit)
{
    int learnt = 0;
    while (learnt < limit) {
        const int slice = std::min(limit - learnt, keySlice);
        const ServerSession::Result result = walk(SelectShape::Walk::Ascending, after, bound, slice);
        for (int row = 0; row < result.rowCount(); ++row)
            keys.append(result.value(row, 0).toLongLong());
        learnt += result.rowCount();
        if (result.rowCount() < slice)
            break;
        after = keys.at(keys.size() - 1);
    }
    return learnt;
}

RowidList ServerRowSource::lastKeys(qint64 after, qint64 bound, int limit)
{
    const ServerSession::Result result = walk(SelectShape::Walk::Descending, after, bound, limit);
    RowidList keys;
    for (int row = result.rowCount() - 1; row >= 0; --row)
        keys.append(result.value(row, 0).toLongLong());
    return keys;
}

std::vector<SnapshotCache::Row> ServerRowSource::rowsBetween(qint64 first, qint64 last)
{
    return readAll(run(shape_->withRowid(QStringLiteral("where _rowid_ between ? and ?")), {first, last}), true);
}

std::vector<SnapshotCache::Row> ServerRowSource::rowsWithKeys(const std::vector<qint64> &keys)
{
    QStringList list;
    for (const qint64 key : keys)
        list << QString::number(key);
    // One array parameter: the statement's text stays the same for any number of keys.
    return readAll(run(shape_->withRowid(QStringLiteral("where _rowid_ = any(?::bigint[])")),
                       {'{' + list.join(',') + '}'}),
                   true);
}

std::vector<SnapshotCache::Row> ServerRowSource::readAll(const ServerSession::Result &result, bool withKey)
{
    std::vector<SnapshotCache::Row> rows;
    rows.reserve(result.rowCount());
    for (int row = 0; row < result.rowCount(); ++row) {
        SnapshotCache::Row read;
        int column = 0;
        if (withKey)
            read.key = result.value(row, column++).toLongLong();
        for (; column < result.columnCount(); ++column)
            read.values << result.value(row, column);
        rows.push_back(std::move(read));
    }
    return rows;
}
