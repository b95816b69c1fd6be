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
    // The trail's times are ISO text: byte order is time order, whatever the server's locale.
    if (declared.startsWith(QLatin1String("TEXT")))
        return QStringLiteral("text collate \"C\"") + (declared.endsWith(QLatin1String("NOT NULL")) ? " not null" : "");
    // A file's integer key is a 64-bit rowid.
    if (declared == QLatin1String("INTEGER PRIMARY KEY"))
        return QStringLiteral("bigint primary key");
    return QStringLiteral("integer");
}

// "create table" for a table of the file, with the server's key `_rowid_` first when `keyed`.
QString createTable(const Schema::Table &table, bool keyed)
{
    QStringList columns;
    if (keyed)
        columns << QStringLiteral("_rowid_ bigint primary key");
    for (const QString &column : table.columns.split(',')) {
        const QString trimmed = column.trimmed();
        columns << trimmed.section(' ', 0, 0) + ' ' + serverType(trimmed.section(' ', 1));
    }
    return QStringLiteral("create table %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

// The key functions run with their owner's rights (the rooms' role needs no
// rights on removed_rows beyond reading it) and with the search path they
// were made with, so no one can slip a table of the same name in.
QString triggerFunction(const QString &name, const QString &body)
{
    return QStringLiteral("create function %1() returns trigger language plpgsql security definer "
                          "set search_path from current as $$ %2 $$")
        .arg(name, body);
}

} // namespace

QString ServerSchema::keyColumn(const QString &table)
{
    // The trail keys its rows by the number its chain is built on.
    return table == QLatin1String("audit_trail") ? QStringLiteral("id") : QStringLiteral("_rowid_");
}

ServerSchema::Marks ServerSchema::marks(ServerSession &session)
{
    if (session.scalar(QStringLiteral("select to_regclass('ruvured_schema') is not null")).toString() != QLatin1String("t"))
        return {};
    const ServerSession::Result row = session.exec(QStringLiteral("select application_id, user_version from ruvured_schema"));
    if (row.rowCount() != 1)
        return {};
    return {row.value(0, 0).toInt(), row.value(0, 1).toInt()};
}

QString ServerSchema::missingColumn(ServerSession &session, const QList<Schema::Table> &tables)
{
    // The catalogue itself: the standard's views cost a new session several
    // milliseconds, and every start opens one.
    const ServerSession::Result present = session.exec(QStringLiteral(
        "select c.relname::text, a.attname::text from pg_catalog.pg_attribute a "
        "join pg_catalog.pg_class c on c.oid = a.attrelid "
        "where c.relnamespace = to_regnamespace(current_schema()) and c.relkind in ('r', 'p') "
        "and a.attnum > 0 and not a.attisdropped"));
    QStringList columns;
    for (int row = 0; row < present.rowCount(); ++row)
        columns << present.value(row, 0).toString() + '.' + present.value(row, 1).toString();
    for (const Schema::Table &table : tables) {
        QStringList required = Schema::columnNames(table);
        if (!required.contains(keyColumn(table.name)))
            required.prepend(keyColumn(table.name));
        for (const QString &column : required) {
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
    for (const Schema::Table &table : Schema::tables())
        statements << createTable(table, true);
    statements += keyStatements();
    // Unique across every room; the other two keep the searches fast.
    statements << QStringLiteral("create unique index hzzl_jcjlh on hzzl (jcjlh)")
               << QStringLiteral("create index hzzl_jcrq on hzzl (jcrq)")
               << QStringLiteral("create index hzzl_jcks on hzzl (jcks)")
               << QStringLiteral("create table ruvured_schema (application_id integer not null, user_version integer not null)")
               << QStringLiteral("insert into ruvured_schema values (%1, %2)").arg(Schema::applicationId).arg(version);
    return statements + trailStatements();
}

QStringList ServerSchema::trailStatements()
{
    QStringList statements;
    for (const Schema::Table &table : Schema::trailTables())
        statements << createTable(table, keyColumn(table.name) == QLatin1String("_rowid_"));
    // Kept examinations get their keys as the examinations do: no role needs a
    // right on a sequence, and a key once removed by a restore is never given again.
    statements += keyTriggers(QStringLiteral("deleted_records"));
    // The owner too is refused: the program only ever adds to the trail.
    return statements << QStringLiteral("create function ruvured_trail_kept() returns trigger language plpgsql "
                                        "set search_path from current as $$ begin raise exception '%', tg_argv[0]; end $$")
                      << QStringLiteral("create trigger audit_trail_kept before update on audit_trail for each row "
                                        "execute function ruvured_trail_kept('操作记录只能添加，不能修改。')")
                      << QStringLiteral("create trigger audit_trail_whole before delete on audit_trail for each row "
                                        "execute function ruvured_trail_kept('操作记录只能添加，不能删除。')")
                      << QStringLiteral("create trigger audit_trail_emptied before truncate on audit_trail for each statement "
                                        "execute function ruvured_trail_kept('操作记录只能添加，不能清空。')");
}

QStringList ServerSchema::keyTriggers(const QString &table)
{
    // One writer of a table at a time, from its first insert to its commit:
    // keys are then handed out in commit order with no gap, and a key once
    // removed is never given again. A function per table keeps its
    // statement prepared across a large insert.
    return {triggerFunction(QStringLiteral("ruvured_next_key_") + table,
                            QStringLiteral("begin perform pg_advisory_xact_lock(%1, hashtext('%2')); "
                                           "new._rowid_ := coalesce(greatest((select max(_rowid_) from %2), "
                                           "(select max(rid) from removed_rows where tbl = '%2')), 0) + 1; "
                                           "return new; end")
                                .arg(Schema::applicationId)
                                .arg(table)),
            QStringLiteral("create trigger %1_new_key before insert on %1 for each row execute function ruvured_next_key_%1()").arg(table),
            QStringLiteral("create trigger %1_removed after delete on %1 for each row execute function ruvured_removed_key()").arg(table),
            QStringLiteral("create trigger %1_emptied before truncate on %1 for each statement execute function ruvured_removed_all()")
                .arg(table)};
}

QStringList ServerSchema::keyStatements()
{
    QStringList statements = {
        QStringLiteral("create table removed_rows (tbl text not null, rid bigint not null, primary key (tbl, rid))"),
        triggerFunction(QStringLiteral("ruvured_removed_key"),
                     QStringLiteral("begin insert into removed_rows values (tg_table_name, old._rowid_) "
                                    "on conflict do nothing; return null; end")),
        // Emptying a table fires no delete trigger: its keys are kept first.
        triggerFunction(QStringLiteral("ruvured_removed_all"),
                     QStringLiteral("begin execute format('insert into removed_rows select %L, _rowid_ from %I "
                                    "on conflict do nothing', tg_table_name, tg_table_name); return null; end")),
    };
    for (const Schema::Table &table : Schema::tables())
        statements += keyTriggers(table.name);
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
    if (fromVersion == 2) {
        statements += trailStatements();
        // The rooms' role saves and deletes examinations, which now write the
        // trail and keep what is deleted: whoever may add examinations gets
        // what that needs, and on the trail no more than adding and reading.
        statements << QStringLiteral(
            "do $$ declare room text; begin "
            "for room in select distinct r.rolname from pg_class c, aclexplode(c.relacl) a, pg_roles r "
            "where c.oid = 'hzzl'::regclass and a.privilege_type = 'INSERT' and r.oid = a.grantee "
            "and a.grantee <> c.relowner loop "
            "execute format('grant select, insert on audit_trail to %I', room); "
            "execute format('grant select, insert, delete on deleted_records to %I', room); "
            "end loop; end $$");
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
