#pragma once

#include <QList>
#include <QString>

#include "store/data_set.h"

class Connection;

// Examinations deleted on "病历管理" are moved, every column as stored, into
// table `deleted_records` with who deleted them and when, so that one deleted
// by mistake can be put back.
class RecordBin {
public:
    struct Deleted {
        qint64 rowid = 0;  // of the row in deleted_records
        qint64 recordNumber = 0;
        QString name;
        QString deletedAt;  // stored UTC time, as in the trail
        QString deletedBy;
        QString deletedOn;
    };

    // The companion for the record list's data set: each row it deletes is
    // first copied into deleted_records and traced as "删除", in the delete's
    // own transaction.
    static DataSet::Companion keepingDeletions();

    // The deleted examinations that carried `recordNumber`, oldest deletion first.
    static QList<Deleted> deletedWith(Connection &connection, qint64 recordNumber);
    // Whether hzzl holds an examination with `recordNumber`.
    static bool inUse(Connection &connection, qint64 recordNumber);

    // Puts `deleted` back into hzzl, all eleven columns as they were, takes it
    // out of deleted_records and traces "恢复", in one transaction. Throws
    // Failure, changing nothing, when its number is in use again or it is no
    // longer among the deleted.
    static void restore(Connection &connection, const Deleted &deleted);
};
