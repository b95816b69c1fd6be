// `ruvured-createdb --audit --verify` over a trail of a million events: the
// chain walked from the first row, every row's SHA-256 taken again. Target:
// under 30 seconds. Reference, in the same run: every row of the trail read
// into memory without hashing.
//
//   build/bin/trail_bench [--events=N]
//
// The trail is written once (the program's own appends, in one transaction)
// into build/bin/bench-trail-<N> and kept there.

#include "bench_database.h"

#include "store/audit_trail.h"
#include "store/connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>

namespace {

int events = 1000000;
QString directory;

Connection &open(Connection &connection)
{
    connection.setConnectionString(Connection::connectionStringFor(directory));
    connection.open();
    return connection;
}

// A day's mix of actions, a second apart, written in a side folder that is
// moved into place when complete.
void build()
{
    const QString building = BenchDatabase::startBuilding(directory);
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(building));
    const QString actions[] = {AuditTrail::saved, AuditTrail::printed, AuditTrail::reprinted, AuditTrail::deleted};
    const QDateTime first(QDate(2006, 1, 1), QTime(8, 0));
    connection.transaction([&] {
        for (int i = 0; i < events; ++i) {
            AuditTrail::append(connection, actions[i % 4], 2006010100 + i / 4 % 100,
                               QStringLiteral("姓名：患者%1").arg(i / 4), first.addSecs(i));
        }
    });
    connection.close();
    QDir().rename(building, directory);
}

void VerifyTrail(benchmark::State &state)
{
    for (auto _ : state) {
        Connection connection;
        const AuditTrail::Verdict verdict = AuditTrail::verify(open(connection));
        state.counters["rows"] = double(verdict.rows);
        state.counters["whole"] = verdict.firstBroken ? 0 : 1;
    }
    state.SetLabel("target < 30 s");
}

void ReferenceReadEveryRow(benchmark::State &state)
{
    for (auto _ : state) {
        Connection connection;
        benchmark::DoNotOptimize(BenchDatabase::readEverything(open(connection).handle(),
                                                               QStringLiteral("select * from audit_trail order by id"))
                                     .size());
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--events=", 9) == 0)
            events = std::atoi(argv[i] + 9);
    }
    directory = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-trail-%1").arg(events);
    if (!QFile::exists(directory + QStringLiteral("/ruvured.mdb")))
        build();
    benchmark::RegisterBenchmark("VerifyTrail", VerifyTrail)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReferenceReadEveryRow", ReferenceReadEveryRow)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
