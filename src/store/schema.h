#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The five tables of the workstation database and the marks that tell our
// files from other SQLite files. Text widths live in the declared types
// (VARCHAR(n)) so the store can cut written text to them.
class Schema {
public:
    // 'RVRD' in the SQLite header; any other value is another program's file.
    static constexpr int applicationId = 0x52565244;
    // Raised whenever a stored file would no longer be understood by an older program.
    // 1: memo and date columns with numeric affinity; 2: every text column has text affinity;
    // 3: the write-ahead log, and `file_checks` remembers when the whole file was last checked.
    static constexpr int userVersion = 3;
    // The oldest version this program upgrades in place.
    static constexpr int oldestUpgradable = 1;

    struct Table {
        QString name;
        QString columns;  // "name TYPE, name TYPE, ..."
    };
    static const QList<Table> &tables();

    // CREATE statements for the tables, their (non-unique) indexes and the
    // tracking of removed rows, in order.
    static QStringList createStatements();
    static QStringList indexStatements();
    // The table `removed_rows` and the triggers that keep it: the rowids below
    // a table's highest one that hold no row. With them a data set learns the
    // rows of a whole table from two index lookups and the few gaps.
    static QStringList trackingStatements();
    // The table `file_checks`: the day each kind of whole-file check last found the file sound.
    static QStringList checkStatements();
    // Names of the two triggers that track `table`.
    static QStringList trackingTriggers(const QString &table);
    // The column names of `table`, in order.
    static QStringList columnNames(const Table &table);
};
