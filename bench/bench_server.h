#pragma once

#include <QString>

// The engines a benchmark case runs on: the workstation's SQLite file or the
// department's PostgreSQL server.
enum class BenchEngine { File, Server };

// The benchmarks' server database: as many examinations as the file database
// (BenchDatabase::records(), so BenchDatabase::prepare comes first), on a
// private PostgreSQL cluster that lives as long as this run. It is filled at
// first use (about a minute for a million) and the same one serves every
// later case of the run.
class BenchServer {
public:
    // "file" or "server", for the names of the cases.
    static const char *name(BenchEngine engine);

    // The libpq connection string of that database.
    static QString conninfo();

    // A folder whose ruvured.ini names that database, as a site's names its
    // server: a program started from it works on the server.
    static QString programFolder();
};
