#include "store/schema_upgrade.h"

#include "platform/core/failure.h"
#include "store/file_modes.h"
#include "store/maintenance.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFile>
#include <sqlite3.h>

namespace {

QString freeName(const QString &wanted)
{
    QString name = wanted;
    for (int n = 2; QFile::exists(name); ++n)
        name = wanted + QStringLiteral(".%1").arg(n);
    return name;
}

} // namespace

QString SchemaUpgrade::run(sqlite3 *db, const QString &path, int fromVersion)
{
    const QString kept = freeName(path + QStringLiteral(".v%1.bak").arg(fromVersion));
    try {
        Maintenance::copy(db, kept, FileModes::database);
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("数据库文件“%1”需要升级，但升级前无法先保存原文件的副本，文件未作改动。%2")
                          .arg(path, failure.message()));
    }
    try {
        Statement::execute(db, QStringLiteral("BEGIN IMMEDIATE"));
        // SQLite cannot change a column's declared type: each table is rebuilt
        // with the current declaration, rows in their order and numbered
        // afresh, so no table starts with gaps that nobody tracked.
        for (const Schema::Table &table : Schema::tables()) {
            const QString columns = Schema::columnNames(table).join(',');
            Statement::execute(db, QStringLiteral("CREATE TABLE upgrade_%1 (%2)").arg(table.name, table.columns));
            Statement::execute(db, QStringLiteral("INSERT INTO upgrade_%1 (%2) SELECT %2 FROM %1 ORDER BY _rowid_")
                                       .arg(table.name, columns));
            Statement::execute(db, QStringLiteral("DROP TABLE %1").arg(table.name));
            Statement::execute(db, QStringLiteral("ALTER TABLE upgrade_%1 RENAME TO %1").arg(table.name));
        }
        for (const QString &statement : Schema::indexStatements() + Schema::trackingStatements())
            Statement::execute(db, statement);
        Statement::execute(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::userVersion));
        Statement::execute(db, QStringLiteral("COMMIT"));
    } catch (const Failure &failure) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Failure(QStringLiteral("数据库文件“%1”升级失败，文件未作改动，原文件的副本在“%2”。%3")
                          .arg(path, kept, failure.message()));
    }
    return kept;
}
