#pragma once

#include <QString>

// Writes a new, empty workstation database. The only place a database file is
// ever created; the program itself only opens existing files.
class DatabaseCreator {
public:
    // Creates the file at `path` with every table, our application id and schema
    // version. Throws Failure when the file already exists (it is left untouched)
    // or cannot be written.
    static void create(const QString &path);
};
