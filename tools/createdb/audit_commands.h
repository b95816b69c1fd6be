#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// The trail and the deleted examinations from the command line. Each command
// opens the database as the program does (an older file is upgraded first, a
// copy kept; so is an older server database, where the login may) and returns
// the tool's exit status.
class AuditCommands {
public:
    // A database file, or the department's server.
    struct Where {
        QString location;  // the file's path, or the server's libpq connection string
        bool server = false;
    };
    struct Listing {
        QDate from;              // invalid: from the first event
        QDate to;                // invalid: up to the last; else that whole day
        QVariant recordNumber;   // null: every event
        bool csv = false;
    };
    // The events in time order, one a line: local time, user, computer,
    // action, record number (empty where none) and detail, separated by tabs,
    // or as CSV with a header line.
    static int list(const Where &where, const Listing &listing);
    // 0 when every row fits its chain, 1 naming the first that does not.
    static int verify(const Where &where);
    // Puts the deleted examination with `recordNumber` back. When several
    // carry the number, `deletedAt` (local time as listed) says which.
    static int restore(const Where &where, qint64 recordNumber, const QString &deletedAt);
};
