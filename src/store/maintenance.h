#pragma once

#include <QString>
#include <sys/types.h>

struct sqlite3;

// What a site does to its database file beside the program: a full check and
// a consistent copy, both safe while the program is running.
class Maintenance {
public:
    // SQLite's full integrity check of the workstation database at `path`:
    // "ok", or the damage found. Throws Failure when the file cannot be read
    // (missing, not ours, in use by a writer for too long).
    static QString check(const QString &path);

    // Copies the workstation database at `path` into the new file `copy`,
    // consistent even while the program saves, and checks the copy. Never
    // writes over an existing file; a failed copy leaves nothing behind.
    static void backup(const QString &path, const QString &copy);

    // Copies the open database `db` into the new file `target`, made with
    // exactly `mode` (FileModes), through SQLite's backup interface, a piece at
    // a time, giving way to other programs' writes between pieces. Throws
    // Failure; a partial copy is removed.
    static void copy(sqlite3 *db, const QString &target, mode_t mode);
};
