#include "platform/core/clock.h"

#include <optional>

namespace {
std::optional<QDateTime> fixedMoment;
}

QDateTime Clock::now()
{
    return fixedMoment ? *fixedMoment : QDateTime::currentDateTime();
}

QDate Clock::today()
{
    return now().date();
}

void Clock::setFixed(const QDateTime &moment)
{
    fixedMoment = moment;
}

void Clock::clearFixed()
{
    fixedMoment.reset();
}
