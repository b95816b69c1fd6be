#pragma once

#include <QString>
#include <QStringList>

class ServerSession;

// The five tables on the department's server: the same names and columns as
// in a workstation file, so the windows and a site's own reports read them
// alike. Each table gets a key of its own there, `_rowid_`, standing in for
// the file's rowid; record numbers are unique, so two rooms can never store
// one number twice. The small table `ruvured_schema` carries the marks that
// tell our database from any other.
class ServerSchema {
public:
    static constexpr int version = 1;

    struct Marks {
        int applicationId = 0;  // 0: not one of our databases
        int version = 0;
    };
    static Marks marks(ServerSession &session);

    // "表“hzzl”或它的列“xm”" for the first missing table or column; empty when complete.
    static QString missingColumn(ServerSession &session);

    // Tables and relations of the database outside the server's own catalogues.
    static qint64 objectCount(ServerSession &session);

    // Creates everything in an empty database, inside the caller's transaction.
    static void create(ServerSession &session);
    static QStringList createStatements();
};
