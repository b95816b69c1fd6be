#pragma once

#include <QString>
#include "store/record_number.h"

class DataSet;

// One examination as the report window shows it: nine label texts and the two
// memos. Appending it is the only way the program writes to hzzl.
class ExaminationRecord {
public:
    QString recordNumber;  // jcjlh, decimal
    QString name;          // xm
    QString sex;           // xb
    QString age;           // nl, decimal
    QString department;    // jcks
    QString site;          // jcbw
    QString diagnosis;     // lczd
    QString date;          // jcrq, in the short date format
    QString bed;           // jtzz
    QString findings;      // jcsj, kept exactly
    QString opinion;       // zdyj, kept exactly

    // Appends the record to `records` (a table data set over hzzl, opened here
    // when closed) and posts it. The labels are trimmed, the numbers and the
    // date converted, in column order, so a failure names the first bad value.
    // A failed conversion discards the appended row: only whole records are stored.
    // Returns the record number stored: the next free one when the record's
    // own was stored meanwhile by another workstation (RecordNumber::store).
    RecordNumber::Stored appendTo(DataSet &records) const;
};
