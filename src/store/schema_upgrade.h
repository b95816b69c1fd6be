#pragma once

#include <QString>
#include <functional>

struct sqlite3;

// Brings a file of an older schema version up to the current one.
class SchemaUpgrade {
public:
    // What the upgrade is doing ("正在…") and how far that stage has come, in percent.
    using Progress = std::function<void(const QString &stage, int percent)>;

    // Keeps a whole copy of the file beside it first (`<file>.v<N>.bak`, never
    // replacing one), then takes every step from `fromVersion` to the current
    // version in one transaction, and leaves the file without free pages when
    // a step rebuilt tables. Returns the copy's path. Throws Failure with a
    // clear message, the file left as it was, when the copy or the upgrade
    // cannot be made.
    static QString run(sqlite3 *db, const QString &path, int fromVersion, const Progress &progress = {});
};
