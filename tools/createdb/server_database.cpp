#include "createdb/server_database.h"

#include "createdb/sample_dictionaries.h"
#include "platform/core/failure.h"
#include "store/schema.h"
#include "store/server_schema.h"
#include "store/server_session.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>

namespace {

// Rows per insert statement: one round trip to the server per batch.
constexpr int batchRows = 200;

// Runs `work` in one transaction in an empty database.
void inEmptyDatabase(ServerSession &session, const std::function<void()> &work)
{
    session.exec(QStringLiteral("begin"));
    try {
        if (ServerSchema::objectCount(session) != 0)
            throw Failure(QStringLiteral("数据库服务器上的这个数据库不是空的，不会在其中建表。请为本系统新建一个空数据库。"));
        ServerSchema::create(session);
        work();
        session.exec(QStringLiteral("commit"));
    } catch (...) {
        if (session.alive())
            session.exec(QStringLiteral("rollback"));
        throw;
    }
}

struct SqliteFile {
    explicit SqliteFile(const QString &path)
    {
        if (!QFileInfo(path).isFile())
            throw Failure(QStringLiteral("数据库文件不存在：%1").arg(path));
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(SQLITE_NOMEM));
            sqlite3_close(db);
            throw Failure(QStringLiteral("无法打开数据库文件“%1”。（%2）").arg(path, reason));
        }
    }
    ~SqliteFile() { sqlite3_close(db); }
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;
    sqlite3 *db = nullptr;
};

void requireCopyable(sqlite3 *db, const QString &path)
{
    if (Statement::scalar(db, QStringLiteral("PRAGMA application_id")).toInt() != Schema::applicationId)
        throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
    if (Statement::scalar(db, QStringLiteral("PRAGMA user_version")).toInt() != Schema::userVersion)
        throw Failure(QStringLiteral("数据库文件“%1”来自其他版本的程序：请先用本版本的程序打开它一次，再复制。").arg(path));
    Statement twice(db, QStringLiteral("select jcjlh, count(*) from hzzl group by jcjlh having count(*) > 1 order by jcjlh"));
    QStringList numbers;
    while (twice.step())
        numbers << QStringLiteral("%1（%2条）").arg(twice.value(0).toString(), twice.value(1).toString());
    if (!numbers.isEmpty())
        throw Failure(QStringLiteral("数据库文件“%1”中有重复的记录号，服务器上的记录号不能重复，没有复制。"
                                     "请先在“系统设置”中删除或核对这些记录：\n%2")
                          .arg(path, numbers.join(QStringLiteral("、"))));
}

// A value as both engines print it: whole-day dates carry their midnight on the server.
QString comparable(const QVariant &value, bool date)
{
    if (value.isNull())
        return QStringLiteral("<null>");
    const QString text = value.toString();
    return date && text.size() == 10 ? text + QStringLiteral(" 00:00:00") : text;
}

void copyTable(sqlite3 *db, ServerSession &session, const Schema::Table &table)
{
    const QStringList columns = Schema::columnNames(table);
    const QString list = columns.join(',');
    const QString marks = '(' + QStringList(QList<QString>(columns.size(), QStringLiteral("?"))).join(',') + ')';
    Statement rows(db, QStringLiteral("select %1 from %2 order by _rowid_").arg(list, table.name));
    QVariantList values;
    int pending = 0;
    auto flush = [&] {
        if (pending == 0)
            return;
        QStringList tuples(pending, marks);
        session.exec(QStringLiteral("insert into %1 (%2) values %3").arg(table.name, list, tuples.join(',')), values);
        values.clear();
        pending = 0;
    };
    while (rows.step()) {
        for (int column = 0; column < columns.size(); ++column)
            values << rows.value(column);
        if (++pending == batchRows)
            flush();
    }
    flush();
}

// Reads the file and the copy side by side, in the order the rows were copied.
void compareTable(sqlite3 *db, ServerSession &session, const Schema::Table &table)
{
    const QStringList columns = Schema::columnNames(table);
    const QString list = columns.join(',');
    Statement file(db, QStringLiteral("select %1 from %2 order by _rowid_").arg(list, table.name));
    QList<bool> dates;
    for (int column = 0; column < columns.size(); ++column)
        dates << file.declaredType(column).startsWith(QLatin1String("DATETIME"));
    qint64 after = 0;
    qint64 row = 0;
    for (;;) {
        const ServerSession::Result copy = session.exec(
            QStringLiteral("select %3, %1 from %2 where %3 > ? order by %3 limit 1000")
                .arg(list, table.name, ServerSchema::keyColumn(table.name)),
            {after});
        for (int i = 0; i < copy.rowCount(); ++i, ++row) {
            if (!file.step())
                throw Failure(QStringLiteral("复制后的表“%1”比文件多出记录，没有复制。").arg(table.name));
            for (int column = 0; column < columns.size(); ++column) {
                if (comparable(file.value(column), dates.at(column)) != comparable(copy.value(i, column + 1), dates.at(column)))
                    throw Failure(QStringLiteral("表“%1”第%2行的“%3”复制后与文件中不同（%4 / %5），没有复制。")
                                      .arg(table.name)
                                      .arg(row + 1)
                                      .arg(columns.at(column), comparable(file.value(column), false),
                                           comparable(copy.value(i, column + 1), false)));
            }
            after = copy.value(i, 0).toLongLong();
        }
        if (copy.rowCount() < 1000)
            break;
    }
    if (file.step())
        throw Failure(QStringLiteral("表“%1”有记录没有复制到服务器，没有复制。").arg(table.name));
}

} // namespace

void ServerDatabase::create(const QString &conninfo, bool sample)
{
    ServerSession session(conninfo);
    inEmptyDatabase(session, [&] {
        if (sample)
            SampleDictionaries::writeAll([&](const QString &sql, const QVariantList &values) { session.exec(sql, values); });
    });
}

qint64 ServerDatabase::copy(const QString &file, const QString &conninfo)
{
    SqliteFile source(file);
    // One reading of the file for the copy and its check, even while a room works on it.
    Statement::execute(source.db, QStringLiteral("BEGIN"));
    requireCopyable(source.db, file);
    ServerSession session(conninfo);
    inEmptyDatabase(session, [&] {
        // The trail keeps its ids and hashes: its chain goes on unbroken on the server.
        for (const Schema::Table &table : Schema::tables() + Schema::trailTables()) {
            copyTable(source.db, session, table);
            compareTable(source.db, session, table);
        }
    });
    return Statement::scalar(source.db, QStringLiteral("select count(*) from hzzl")).toLongLong();
}
