#pragma once

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
    static constexpr int userVersion = 1;

    // CREATE statements for the tables and their (non-unique) indexes, in order.
    static QStringList createStatements();
};
