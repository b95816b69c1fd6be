#pragma once

#include <QDateTime>

// The computer's local date and time, or a fixed moment a test has set.
class Clock {
public:
    static QDateTime now();
    static QDate today();

    static void setFixed(const QDateTime &moment);
    static void clearFixed();
};
