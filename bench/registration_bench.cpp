// What the registration window runs at every showing, over a million stored
// examinations: the highest record number, and "select *  from hzzl" for its
// row count. Target: under 20 ms together, under 50 MB of added memory.
//
//   build/bin/registration_bench [--records=N] [--directory=DIR]
//
// The database is built once (about a minute for a million rows) and kept.

#include "bench_database.h"
#include "store/connection.h"
#include "store/query.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void RegistrationShowQueries(benchmark::State &state)
{
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(BenchDatabase::directory()));
    connection.open();
    // Memory and the cold first showing are taken once per process: later runs
    // reuse memory the first one freed, which would hide what it took.
    static const long before = BenchDatabase::residentKilobytes();
    static long added = -1;
    static double firstMs = -1;
    int count = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Query highest(&connection, "ADOQuery3");
        Query all(&connection, "ADOQuery4");
        highest.SQL() << "select max(jcjlh) as jlh from hzzl";
        highest.Open();
        all.SQL() << "select *  from hzzl";
        all.Open();
        count = all.recordCount();
        benchmark::DoNotOptimize(highest.fieldByName("jlh").asInteger());
        if (firstMs < 0)
            firstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (added < 0)
            added = BenchDatabase::residentKilobytes() - before;
    }
    // The first showing after start-up reads the indexes from disk; later ones find them cached.
    state.counters["first_ms"] = firstMs;
    state.counters["records"] = count;
    state.counters["added_MB"] = double(added) / 1024.0;
    state.SetLabel("targets: < 20 ms per showing, < 50 MB added");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchDatabase::prepare(argc, argv);

    benchmark::RegisterBenchmark("RegistrationShowQueries", RegistrationShowQueries)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
