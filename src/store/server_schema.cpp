#include "store/server_schema.h"

#include "store/schema.h"
#include "store/server_session.h"

#include <QRegularExpression>

namespace {

// The file's declared types in the server's words: the first word of the
// file's type tells the kind, as it does for the store.
QString serverType(const QString &declared)
{
    static const QRegularExpression varchar(QStringLiteral("^VARCHAR\\((\\d+)\\)$"));
    if (const auto match = varchar.match(declared); match.hasMatch())
        return QStringLiteral("varchar(%1)").arg(match.captured(1));
    if (declared.startsWith(QLatin1String("DATETIME")))
        return QStringLiteral("timestamp(0)");
    if (declared.startsWith(QLatin1String("MEMO")))
        return QStringLiteral("text");
    return QStringLiteral("integer");
}

} // namespace

ServerSchema::Marks ServerSchema::marks(ServerSession &session)
{
    if (session.scalar(QStringLiteral("select to_regclass('ruvured_schema') is not null")).toString() != QLatin1String("t"))
        return {};
    const ServerSession::Result row = session.exec(QStringLiteral("select application_id, user_version from ruvured_schema"));
    if (row.rowCount() != 1)
        return {};
    return {row.value(0, 0).toInt(), row.value(0, 1).toInt()};
}

QString ServerSchema::missingColumn(ServerSession &session)
{
    const ServerSession::Result present = session.exec(QStringLiteral(
        "select table_name, column_name from information_schema.columns where table_schema = current_schema()"));
    QStringList columns;
    for (int row = 0; row < present.rowCount(); ++row)
        columns << present.value(row, 0).toString() + '.' + present.value(row, 1).toString();
    for (const Schema::Table &table : Schema::tables()) {
        for (const QString &column : QStringList{QStringLiteral("_rowid_")} + Schema::columnNames(table)) {
            if (!columns.contains(table.name + '.' + column))
                return QStringLiteral("表“%1”或它的列“%2”").arg(table.name, column);
        }
    }
    return {};
}

qint64 ServerSchema::objectCount(ServerSession &session)
{
    return session
        .scalar(QStringLiteral("select count(*) from pg_class c join pg_namespace n on n.oid = c.relnamespace "
                               "where n.nspname not in ('pg_catalog', 'information_schema') "
                               "and n.nspname not like 'pg\\_%'"))
        .toLongLong();
}

QStringList ServerSchema::createStatements()
{
    QStringList statements;
    for (const Schema::Table &table : Schema::tables()) {
        QStringList columns = {QStringLiteral("_rowid_ bigint primary key")};
        for (const QString &column : table.columns.split(',')) {
            const QString trimmed = column.trimmed();
            columns << trimmed.section(' ', 0, 0) + ' ' + serverType(trimmed.section(' ', 1));
        }
        statements << QStringLiteral("create table %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
    }
    statements += keyStatements();
    // Unique across every room; the other two keep the searches fast.
    statements << QStringLiteral("create unique index hzzl_jcjlh on hzzl (jcjlh)")
               << QStringLiteral("create index hzzl_jcrq on hzzl (jcrq)")
               << QStringLiteral("create index hzzl_jcks on hzzl (jcks)")
               << QStringLiteral("create table ruvured_schema (application_id integer not null, user_version integer not null)")
               << QStringLiteral("insert into ruvured_schema values (%1, %2)").arg(Schema::applicationId).arg(version);
    return statements;
}

QStringList ServerSchema::keyStatements()
{
    // The functions run with their owner's rights (the rooms' role needs no
    // rights on removed_rows beyond reading it) and with the search path
    // they were made with, so no one can slip a table of the same name in.
    const QString function = QStringLiteral(
        "create function %1() returns trigger language plpgsql security definer set search_path from current as $$ %2 $$");
    QStringList statements = {
        QStringLiteral("create table removed_rows (tbl text not null, rid bigint not null, primary key (tbl, rid))"),
        function.arg(QStringLiteral("ruvured_removed_key"),
                     QStringLiteral("begin insert into removed_rows values (tg_table_name, old._rowid_) "
                                    "on conflict do nothing; return null; end")),
        // Emptying a table fires no delete trigger: its keys are kept first.
        function.arg(QStringLiteral("ruvured_removed_all"),
                     QStringLiteral("begin execute format('insert into removed_rows select %L, _rowid_ from %I "
                                    "on conflict do nothing', tg_table_name, tg_table_name); return null; end")),
    };
    for (const Schema::Table &table : Schema::tables()) {
        // One writer of a table at a time, from its first insert to its commit:
        // keys are then handed out in commit order with no gap, and a key once
        // removed is never given again. A function per table keeps its
        // statement prepared across a large insert.
        statements << function.arg(QStringLiteral("ruvured_next_key_") + table.name,
                                   QStringLiteral("begin perform pg_advisory_xact_lock(%1, hashtext('%2')); "
                                                  "new._rowid_ := coalesce(greatest((select max(_rowid_) from %2), "
                                                  "(select max(rid) from removed_rows where tbl = '%2')), 0) + 1; "
                                                  "return new; end")
                                       .arg(Schema::applicationId)
                                       .arg(table.name))
                   << QStringLiteral("create trigger %1_new_key before insert on %1 for each row execute function ruvured_next_key_%1()")
                          .arg(table.name)
                   << QStringLiteral("create trigger %1_removed after delete on %1 for each row execute function ruvured_removed_key()")
                          .arg(table.name)
                   << QStringLiteral("create trigger %1_emptied before truncate on %1 for each statement "
                                     "execute function ruvured_removed_all()")
                          .arg(table.name);
    }
    return statements;
}

QStringList ServerSchema::upgradeStatements(int fromVersion)
{
    QStringList statements;
    if (fromVersion == 1) {
        // Version 1 drew keys from identity sequences, which leave gaps.
        for (const Schema::Table &table : Schema::tables())
            statements << QStringLiteral("alter table %1 alter column _rowid_ drop identity if exists").arg(table.name);
        statements += keyStatements();
        for (const Schema::Table &table : Schema::tables()) {
            statements << QStringLiteral("insert into removed_rows select '%1', k from generate_series("
                                         "(select min(_rowid_) from %1), (select max(_rowid_) from %1)) k "
                                         "where not exists (select 1 from %1 where _rowid_ = k)")
                              .arg(table.name);
        }
    }
    return statements << QStringLiteral("update ruvured_schema set user_version = %1").arg(fromVersion + 1);
}

void ServerSchema::upgrade(ServerSession &session)
{
    session.exec(QStringLiteral("begin"));
    try {
        // Rooms starting together: the first upgrades, the others wait here
        // and then find the database up to date.
        session.exec(QStringLiteral("lock table ruvured_schema in exclusive mode"));
        for (int from = marks(session).version; from < version; ++from) {
            for (const QString &statement : upgradeStatements(from))
                session.exec(statement);
        }
        session.exec(QStringLiteral("commit"));
    } catch (...) {
        if (session.alive())
            session.exec(QStringLiteral("rollback"));
        throw;
    }
}

void ServerSchema::create(ServerSession &session)
{
    for (const QString &statement : createStatements())
        session.exec(statement);
}
