#pragma once

#include <QString>
#include <functional>
#include <sys/types.h>

struct sqlite3;

// What a site does to its database file beside the program: a full check and
// a consistent copy, both safe while the program is running.
class Maintenance {
public:
    // How far a long operation has come, in percent; returning false stops it.
    using Progress = std::function<bool(int percent)>;

    // SQLite's full integrity check of the workstation database at `path`:
    // "ok", or the damage found. Throws Failure when the file cannot be read
    // (missing, not ours).
    static QString check(const QString &path);

    // Copies the workstation database at `path` into the new file `copy`,
    // consistent even while the program saves, and checks the copy. Never
    // writes over an existing file; a failed or stopped copy leaves nothing behind.
    static void backup(const QString &path, const QString &copy, const Progress &progress = {});

    // Copies the open database `db` into the new file `target`, made with
    // exactly `mode` (FileModes), through SQLite's backup interface. The copy
    // is written under a side name, synced, checked when `checked`, and only
    // then linked into place, so a file under `target` is always whole. With
    // the write-ahead log the copy is one snapshot of the file that never
    // holds up a writer. Throws Failure; a partial copy is removed.
    static void copy(sqlite3 *db, const QString &target, mode_t mode, const Progress &progress = {},
                     bool checked = false);

    // Removes the side files of copies in `folder` whose program was stopped
    // before it could clean up (killed, or the machine lost power).
    static void removeLeftovers(const QString &folder);
};
