// Saves examinations into the database of the folder given, one after another,
// as the report window saves them (each with its trace), until it is killed.
// Before each save it writes "begin <n>" on standard output, after it "done <n>".
#include "examination_sample.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/query.h"
#include "store/table_data_set.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: crash_writer <folder of ruvured.mdb>\n");
        return 2;
    }
    try {
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(QString::fromLocal8Bit(argv[1])));
        Query highest(&connection, QStringLiteral("highest"));
        highest.SQL() << QStringLiteral("select max(jcjlh) as jlh from hzzl");
        highest.Open();
        const QVariant top = highest.fieldByName(QStringLiteral("jlh")).value();
        int n = top.isNull() ? 1 : top.toInt() - 2006030500 + 1;

        TableDataSet records(&connection, QStringLiteral("ADODataSet1"), QStringLiteral("hzzl"));
        for (const char *column : {"xm", "xb", "jcbw", "jcks", "lczd", "jtzz"})
            records.declareWidth(QLatin1String(column), 50);
        records.setCompanion(AuditTrail::tracingSaves());
        for (;; ++n) {
            std::printf("begin %d\n", n);
            std::fflush(stdout);
            examinationSample(n).appendTo(records);
            std::printf("done %d\n", n);
            std::fflush(stdout);
        }
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.message().toLocal8Bit().constData());
        return 1;
    }
}
