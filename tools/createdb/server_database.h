#pragma once

#include <QString>

// Creating the workstation tables on a department's PostgreSQL server, and
// moving a room's SQLite file there. Both work only in an existing, empty
// database, in one transaction: a failure leaves the database empty.
class ServerDatabase {
public:
    // Creates the tables (and the sample dictionaries with `sample`). Throws
    // Failure when the server cannot be reached or the database is not empty.
    static void create(const QString &conninfo, bool sample);

    // Copies every row of the workstation file `file` and compares the copy
    // with the file row by row before committing. Refuses a file in which a
    // record number occurs twice (the server keeps numbers unique), naming them.
    // Returns the number of examinations copied.
    static qint64 copy(const QString &file, const QString &conninfo);
};
