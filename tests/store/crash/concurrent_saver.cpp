// Saves and prints examinations as a registration window and its report
// window do: the number allocated from the highest stored one, then stored
// through RecordNumber::store with its trace first, then the print traced on
// its own. Usage: concurrent_saver <count> --file <folder> | --server <conninfo>
#include "examination_sample.h"
#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/record_number.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: concurrent_saver <count> --file <folder> | --server <conninfo>\n");
        return 2;
    }
    try {
        Connection connection;
        if (arguments.at(2) == QLatin1String("--server"))
            connection.setServer(arguments.at(3));
        else
            connection.setConnectionString(Connection::connectionStringFor(arguments.at(3)));
        // Long enough for the other writers' commits on a slow disk.
        connection.setBusyTimeout(60000);
        const int count = arguments.at(1).toInt();
        for (int n = 0; n < count; ++n) {
            const qint32 shown = RecordNumber::next(Clock::today(), connection.scalar(QStringLiteral("select max(jcjlh) from hzzl")));
            const ExaminationRecord record = examinationSample(n);
            const RecordNumber::Stored stored = RecordNumber::store(connection, shown, [&](qint32 number) {
                AuditTrail::append(connection, AuditTrail::saved, number, QStringLiteral("姓名：") + record.name);
                connection.write(QStringLiteral("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jtzz, jcsj, zdyj) "
                                                "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                                 {number, record.name, record.sex, n % 100, Clock::today().toString(Qt::ISODate), record.site,
                                  record.department, record.diagnosis, record.bed, record.findings, record.opinion});
            });
            AuditTrail::append(connection, AuditTrail::printed, stored.number, {});
        }
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
