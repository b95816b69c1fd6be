#include "store/record_number.h"

#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/connection.h"
#include "store/server_session.h"

#include <limits>

qint32 RecordNumber::next(const QDate &today, const QVariant &highest)
{
    const qint32 first = today.year() * 1000000 + today.month() * 10000 + today.day() * 100 + 1;
    if (highest.isNull())
        return first;
    const qint64 top = highest.toLongLong();
    // The number is a 32-bit integer: the highest one has no successor.
    if (top >= std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("记录号已达到最大值 %1，无法再分配新的记录号。").arg(top));
    return top < first ? first : qint32(top + 1);
}

RecordNumber::Stored RecordNumber::store(Connection &connection, qint32 wanted, const std::function<void(qint32)> &insert)
{
    // On the server two rooms can both find a number free; the unique index
    // lets only one commit, and the other takes the next number afresh.
    for (int attempt = 0;; ++attempt) {
        qint32 number = wanted;
        try {
            const bool confirmed = connection.transaction([&] {
                if (connection.scalar(QStringLiteral("select count(*) from hzzl where jcjlh = ?"), {wanted}).toLongLong() > 0)
                    number = next(Clock::today(), connection.scalar(QStringLiteral("select max(jcjlh) from hzzl")));
                insert(number);
            });
            return {number, confirmed};
        } catch (const NumberTaken &) {
            if (attempt == 50)
                throw;
        }
    }
}
