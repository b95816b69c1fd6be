#pragma once

#include <QDate>
#include <QVariant>
#include <functional>

class Connection;

// Examination record numbers, YYYYMMDDnn: the day's first number ends in 01,
// each later one is the highest stored number plus 1.
class RecordNumber {
public:
    // The day's first number for `today`, or the highest stored number plus 1
    // when that is not below it. `highest` is null when no record is stored.
    // Throws Failure when the highest number has no 32-bit successor.
    static qint32 next(const QDate &today, const QVariant &highest);

    // Stores an examination under `wanted`, or under the next free number when
    // another workstation, or another copy of the program, stored `wanted` since
    // it was shown. `insert` writes the row with the number it is given; the
    // check and the insert are one transaction, so no number is stored twice.
    struct Stored {
        qint32 number = 0;
        // The server went away while committing and was found to have stored it.
        bool confirmedAfterReconnect = false;
    };
    static Stored store(Connection &connection, qint32 wanted, const std::function<void(qint32 number)> &insert);
};
