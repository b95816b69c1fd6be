#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Text conversions with the failure texts the operator sees.
class Convert {
public:
    // Decimal signed 32-bit integer, optionally signed and preceded by blanks.
    // Fails with "'<text>' is not a valid integer value".
    static int strToInt(const QString &text);
    static QString intToStr(qint64 value);

    // The system's short date format with a four-digit year (two digits would
    // turn 1925 into 2025 on the way back in).
    static QString shortDateFormat();
    static QString dateToStr(const QDate &date);
    // Date and, when it is not midnight, the time of day.
    static QString dateTimeToStr(const QDateTime &moment);
    // Fails with "'<text>' is not a valid date".
    static QDate strToDate(const QString &text);

    // Removes leading and trailing characters with codes 32 or less.
    static QString trim(const QString &text);
};
