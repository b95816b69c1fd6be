#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "store/data_set.h"

class Connection;

// Who saved, printed, reprinted, deleted and restored which examination, and
// who changed the dictionaries: table `audit_trail`. Rows are only ever added,
// each in the transaction of the action it records. Each row carries the
// SHA-256 of its content and of the row before it, so a row changed, removed
// or moved by another tool breaks the chain.
class AuditTrail {
public:
    // The actions, as stored and listed.
    static const QString saved;          // "保存": an examination saved by "打印"
    static const QString printed;        // "打印": its report handed to the printer
    static const QString printFailed;    // "打印失败": the printer refused it; the reason is the detail
    static const QString reprinted;      // "补打": printed again from the query window
    static const QString deleted;        // "删除": deleted on "病历管理"
    static const QString restored;       // "恢复": a deleted examination put back
    static const QString dictionary;     // "字典": a dictionary row added, changed or deleted

    struct Event {
        qint64 id = 0;
        QString at;  // UTC, "yyyy-MM-ddTHH:mm:ss.zzzZ"
        QString user;
        QString computer;
        QString action;
        QVariant recordNumber;  // null where the event concerns no examination
        QString detail;
        QString hash;
    };

    // The operating-system user and the computer's name written with each event.
    static QString userName();
    static QString computerName();
    // The stored form of a moment, and a stored time shown in local time
    // as "yyyy-MM-dd HH:mm:ss.zzz".
    static QString storedTime(const QDateTime &moment);
    static QString localTime(const QString &stored);

    // Appends one event by this user on this computer at `moment` (now when
    // invalid), chained to the last. Joins the caller's transaction when
    // there is one. Throws Failure.
    static void append(Connection &connection, const QString &action, const QVariant &recordNumber,
                       const QString &detail, const QDateTime &moment = {});

    // Companions for data sets (DataSet::setCompanion): "保存" for each
    // examination appended to hzzl; "字典" for each row of the dictionary
    // `name` ("科室", ...) added, changed or deleted, with the old and new texts.
    static DataSet::Companion tracingSaves();
    static DataSet::Companion tracingDictionary(const QString &name);

    // Events in time order (ties in the order written), from `from` up to
    // but not including `until` (either may be invalid: no limit), of one
    // record number when `recordNumber` is not null. No reading of the file
    // stays open while `each` runs.
    static void read(Connection &connection, const QDateTime &from, const QDateTime &until,
                     const QVariant &recordNumber, const std::function<void(const Event &)> &each);

    struct Verdict {
        qint64 rows = 0;                  // rows that fit, from the first
        std::optional<Event> firstBroken;  // the first row that does not fit its content or its place
    };
    // Walks the chain from the first row, a piece at a time.
    static Verdict verify(Connection &connection);

    // The hash of `event` (its id and content) after the row whose hash is `previous`.
    static QString hashOf(const Event &event, const QString &previous);
};
