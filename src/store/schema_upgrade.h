#pragma once

#include <QString>

struct sqlite3;

// Brings a file of an older schema version up to the current one.
class SchemaUpgrade {
public:
    // Keeps a copy of the file beside it first, then takes it through every
    // later version's step in one transaction. Returns the copy's path.
    // Throws Failure with a clear message, the file left as it was, when the
    // copy or the upgrade cannot be made.
    static QString run(sqlite3 *db, const QString &path, int fromVersion);
};
