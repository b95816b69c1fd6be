#pragma once

#include <QString>
#include <QStringList>

#include "store/schema.h"

class ServerSession;

// The five tables on the department's server: the same names and columns as
// in a workstation file, so the windows and a site's own reports read them
// alike. Each table gets a key of its own there, `_rowid_`, standing in for
// the file's rowid; record numbers are unique, so two rooms can never store
// one number twice. The small table `ruvured_schema` carries the marks that
// tell our database from any other.
//
// Keys are handed out by the database itself, one writer of a table at a time
// until its commit, with no gaps and never again after a removal; removed keys
// are kept in `removed_rows`. A whole table's keys are therefore known from
// its lowest and highest key and the removals between, without reading them.
//
// `audit_trail` and `deleted_records` are there too, as in a file: the trail
// keys its rows by `id` alone; its triggers refuse every change, removal and
// emptying, the owner's included.
class ServerSchema {
public:
    // 2: keys without gaps; 3: the audit trail and the deleted records.
    static constexpr int version = 3;

    struct Marks {
        int applicationId = 0;  // 0: not one of our databases
        int version = 0;
    };
    static Marks marks(ServerSession &session);

    // The column that keys the rows of `table` here: `_rowid_`, or the trail's `id`.
    static QString keyColumn(const QString &table);

    // "表“hzzl”或它的列“xm”" for the first missing table or column of
    // `tables` (Schema::tables() or trailTables()); empty when complete.
    static QString missingColumn(ServerSession &session, const QList<Schema::Table> &tables);

    // Tables and relations of the database outside the server's own catalogues.
    static qint64 objectCount(ServerSession &session);

    // Creates everything in an empty database, inside the caller's transaction.
    static void create(ServerSession &session);
    static QStringList createStatements();

    // The statements that take a database of `fromVersion` one version up.
    static QStringList upgradeStatements(int fromVersion);
    // Takes a database of an older version up to this one, in one transaction.
    // Throws Failure, changing nothing, when the login may not (only the
    // database's owner can change its tables).
    static void upgrade(ServerSession &session);

private:
    // The key functions and their triggers on the five tables, and `removed_rows`.
    static QStringList keyStatements();
    // The three triggers that give `table` its keys and keep its removed ones.
    static QStringList keyTriggers(const QString &table);
    // `audit_trail` and `deleted_records`, and the triggers that keep the trail whole.
    static QStringList trailStatements();
};
