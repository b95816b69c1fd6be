#include "store/sqlite_row_source.h"

#include "store/connection.h"
#include "store/schema.h"
#include "store/statement.h"

void SqliteRowSource::bind(Statement &statement) const
{
    for (auto it = parameters_.cbegin(); it != parameters_.cend(); ++it)
        statement.bind(it.key(), it.value());
}

std::vector<RowSource::Column> SqliteRowSource::columnsOf(const Statement &statement, int offset)
{
    std::vector<Column> columns;
    for (int column = offset; column < statement.columnCount(); ++column)
        columns.push_back({statement.columnName(column), statement.declaredType(column)});
    return columns;
}

std::vector<RowSource::Column> SqliteRowSource::columns()
{
    // Prepared only: the declared types are known without reading a row.
    const Statement one(connection_->handle(), shape_->withRowid(QStringLiteral("where _rowid_ = ?")));
    return columnsOf(one, 1);
}

bool SqliteRowSource::removalsKept()
{
    // Kept by triggers in the file: a file written by a program that dropped
    // them is read the slow way.
    const QStringList triggers = Schema::trackingTriggers(shape_->table);
    return Statement::scalar(connection_->handle(),
                             QStringLiteral("select count(*) from sqlite_schema where type = 'trigger' and name in (?, ?)"),
                             {triggers.at(0), triggers.at(1)})
               .toInt()
           == 2;
}

std::vector<RowSource::Column> SqliteRowSource::readWhole(const QString &text, std::vector<SnapshotCache::Row> &rows)
{
    Statement statement(connection_->handle(), text);
    bind(statement);
    while (statement.step())
        rows.push_back(readRow(statement, false));
    return columnsOf(statement, 0);
}

void SqliteRowSource::bindWalk(Statement &rows, qint64 after, qint64 bound, int limit) const
{
    bind(rows);
    rows.bind(QStringLiteral("rowid_after_"), after);
    rows.bind(QStringLiteral("rowid_bound_"), bound);
    rows.bind(QStringLiteral("rowid_limit_"), limit);
}

int SqliteRowSource::appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit)
{
    Statement rows(connection_->handle(), shape_->rowidsInOrder());
    bindWalk(rows, after, bound, limit);
    int learnt = 0;
    for (; rows.step(); ++learnt)
        keys.append(rows.value(0).toLongLong());
    return learnt;
}

RowidList SqliteRowSource::lastKeys(qint64 after, qint64 bound, int limit)
{
    Statement rows(connection_->handle(), shape_->rowidsInOrder(SelectShape::Walk::Descending));
    bindWalk(rows, after, bound, limit);
    std::vector<qint64> downwards;
    while (rows.step())
        downwards.push_back(rows.value(0).toLongLong());
    RowidList keys;
    for (auto key = downwards.rbegin(); key != downwards.rend(); ++key)
        keys.append(*key);
    return keys;
}

std::vector<SnapshotCache::Row> SqliteRowSource::rowsBetween(qint64 first, qint64 last)
{
    Statement statement(connection_->handle(), shape_->withRowid(QStringLiteral("where _rowid_ between ? and ?")));
    statement.bindAll({first, last});
    return readAll(statement);
}

std::vector<SnapshotCache::Row> SqliteRowSource::rowsWithKeys(const std::vector<qint64> &keys)
{
    const QString marks = QStringList(QList<QString>(qsizetype(keys.size()), QStringLiteral("?"))).join(',');
    Statement statement(connection_->handle(), shape_->withRowid(QStringLiteral("where _rowid_ in (%1)").arg(marks)));
    for (size_t i = 0; i < keys.size(); ++i)
        statement.bind(int(i) + 1, keys[i]);
    return readAll(statement);
}

std::vector<SnapshotCache::Row> SqliteRowSource::readAll(Statement &statement)
{
    std::vector<SnapshotCache::Row> rows;
    while (statement.step())
        rows.push_back(readRow(statement, true));
    return rows;
}

SnapshotCache::Row SqliteRowSource::readRow(const Statement &statement, bool withRowid)
{
    SnapshotCache::Row row;
    int column = 0;
    if (withRowid)
        row.key = statement.value(column++).toLongLong();
    for (; column < statement.columnCount(); ++column)
        row.values << statement.value(column);
    return row;
}
