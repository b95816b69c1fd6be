#include "store/schema.h"

const QList<Schema::Table> &Schema::tables()
{
    // Dates are ISO text, "YYYY-MM-DD" for whole days and "YYYY-MM-DD HH:MM:SS"
    // otherwise: they sort and compare correctly as text. Every column that
    // holds text is declared so that SQLite gives it text affinity ("MEMO
    // TEXT", "DATETIME TEXT"): with numeric affinity findings "007" would come
    // back as 7. The first word still tells the store the column's kind.
    static const QList<Table> all = {
        {"hzzl", "jcjlh INTEGER, xm VARCHAR(50), xb VARCHAR(50), nl INTEGER, jcrq DATETIME TEXT, jcbw VARCHAR(50), "
                 "jcks VARCHAR(50), lczd VARCHAR(50), jcsj MEMO TEXT, zdyj MEMO TEXT, jtzz VARCHAR(50)"},
        {"ks", "ksmc VARCHAR(50), kspym VARCHAR(50)"},
        {"bwmc", "bwmc VARCHAR(50), bwpym VARCHAR(50)"},
        {"bt", "bt VARCHAR(50)"},
        {"nr", "bt VARCHAR(50), nr VARCHAR(255)"},
    };
    return all;
}

QStringList Schema::indexStatements()
{
    // No key and no uniqueness anywhere: duplicates are legal in every table.
    // The indexes only keep the record-number, date and department lookups fast.
    return {
        "CREATE INDEX hzzl_jcjlh ON hzzl (jcjlh)",
        "CREATE INDEX hzzl_jcrq ON hzzl (jcrq)",
        "CREATE INDEX hzzl_jcks ON hzzl (jcks)",
    };
}

QStringList Schema::createStatements()
{
    QStringList statements;
    for (const Table &table : tables())
        statements << QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, table.columns);
    return statements + indexStatements() + trackingStatements() + checkStatements();
}

QStringList Schema::checkStatements()
{
    return {"CREATE TABLE file_checks (kind TEXT PRIMARY KEY, checked_on TEXT NOT NULL) WITHOUT ROWID"};
}

QStringList Schema::trackingTriggers(const QString &table)
{
    return {table + QStringLiteral("_removed"), table + QStringLiteral("_added")};
}

QStringList Schema::trackingStatements()
{
    // The triggers live in the file, so every program writing it keeps the
    // table up to date. Only rowids are kept, never patient data.
    QStringList statements = {"CREATE TABLE removed_rows (tbl TEXT NOT NULL, rid INTEGER NOT NULL, "
                              "PRIMARY KEY (tbl, rid)) WITHOUT ROWID"};
    for (const Table &table : tables()) {
        const QStringList triggers = trackingTriggers(table.name);
        statements << QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN "
                                     "INSERT OR IGNORE INTO removed_rows VALUES ('%2', old.rowid); END")
                          .arg(triggers.at(0), table.name)
                   << QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN "
                                     "DELETE FROM removed_rows WHERE tbl = '%2' AND rid = new.rowid; END")
                          .arg(triggers.at(1), table.name);
    }
    return statements;
}

QStringList Schema::columnNames(const Table &table)
{
    QStringList names;
    for (const QString &column : table.columns.split(','))
        names << column.trimmed().section(' ', 0, 0);
    return names;
}
