// The save behind "打印" of a new examination on both engines, beside a million
// stored examinations: the record number checked and the row inserted in one
// write transaction (RecordNumber::store), the part of "打印" that reaches the
// database. Target: well inside the 150 ms of the whole press. Beside it, in
// the same run, the reference: the same insert alone, unchecked, outside any
// transaction, as the classic save did. Then, on both engines, what the
// windows read there: the registration window's two statements at its
// showing (target 20 ms) and "查询全部" to its first screen of rows
// (target 100 ms).
//
//   build/bin/save_bench [--records=N] [--directory=DIR]
//
// The file is the benchmarks' shared database; the server database lives in a
// private cluster of this run (BenchServer).

#include "bench_database.h"
#include "bench_server.h"
#include "platform/core/clock.h"
#include "store/connection.h"
#include "store/query.h"
#include "store/record_number.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

Connection *fileConnection = nullptr;
Connection *serverConnection = nullptr;

// The rows saved are removed again afterwards, so the shared file keeps its
// million examinations for the other benchmarks.
void save(benchmark::State &state, Connection *connection)
{
    const QVariant highestBefore = connection->scalar(QStringLiteral("select max(jcjlh) from hzzl"));
    double reference = 0;
    for (auto _ : state) {
        const qint32 shown = RecordNumber::next(Clock::today(), connection->scalar(QStringLiteral("select max(jcjlh) from hzzl")));
        state.PauseTiming();
        // The reference's insert, timed by hand in the same iteration.
        QElapsedTimer plain;
        plain.start();
        BenchDatabase::insertExamination(*connection, shown + 1000);
        reference += plain.nsecsElapsed() / 1e6;
        state.ResumeTiming();
        RecordNumber::store(*connection, shown, [&](qint32 number) { BenchDatabase::insertExamination(*connection, number); });
    }
    connection->write(QStringLiteral("delete from hzzl where jcjlh > ?"), {highestBefore});
    state.counters["reference_plain_insert_ms"] = reference / double(state.iterations());
    state.SetLabel("target < 150 ms (the whole press)");
}

const QString highestNumber = QStringLiteral("select max(jcjlh) as jlh from hzzl");
const QString wholeTable = QStringLiteral("select *  from hzzl");
const QString listedColumns = QStringLiteral("select jcjlh as 检查纪录号,xm as 姓名,xb as 性别,nl as 年龄,jcrq as 检查日期,jcbw as 检查部位,"
                                             "jcks as 送检科室,lczd as 临床诊断,jcsj as 检查所见,zdyj as 诊断意见,jtzz as 家庭住址 from hzzl");

void registration(benchmark::State &state, Connection *connection)
{
    Query highest(connection, QStringLiteral("ADOQuery3"));
    Query all(connection, QStringLiteral("ADOQuery4"));
    for (auto _ : state) {
        highest.Reopen({highestNumber});
        all.Reopen({wholeTable});
        benchmark::DoNotOptimize(all.recordCount() == 0 ? 0 : highest.fieldByName(QStringLiteral("jlh")).asInteger());
    }
    state.SetLabel("target < 20 ms");
}

void listAll(benchmark::State &state, Connection *connection)
{
    Query result(connection, QStringLiteral("ADOQuery1"));
    for (auto _ : state) {
        result.Reopen({listedColumns});
        // The grid's first screen: a dozen rows, every column.
        for (int row = 0; row < 12; ++row) {
            for (int column = 0; column < result.gridColumnCount(); ++column)
                benchmark::DoNotOptimize(result.gridValue(row, column));
        }
    }
    state.SetLabel("target < 100 ms to the first screen");
}

// The naive reading beside each case: every row read into memory. These run
// last: after a million rows are freed the allocator is slow for a while.
void readEverything(benchmark::State &state, Connection *connection, const QString &text)
{
    for (auto _ : state) {
        Query everything(connection, QStringLiteral("ADOQuery2"));
        // An ordered statement is read whole at opening.
        everything.Reopen({text + QStringLiteral(" order by jcjlh")});
        benchmark::DoNotOptimize(everything.recordCount());
    }
    state.SetLabel("reference: every row read into memory");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = BenchDatabase::prepare(argc, argv);
    Connection file;
    file.setConnectionString(Connection::connectionStringFor(folder));
    fileConnection = &file;

    Connection server;
    server.setServer(BenchServer::conninfo());
    serverConnection = &server;

    benchmark::RegisterBenchmark("Save/file", [](benchmark::State &state) { save(state, fileConnection); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    benchmark::RegisterBenchmark("Save/server", [](benchmark::State &state) { save(state, serverConnection); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    for (const auto &[name, connection] : {std::pair{"file", fileConnection}, std::pair{"server", serverConnection}}) {
        benchmark::RegisterBenchmark(QStringLiteral("Registration/%1").arg(name).toStdString().c_str(),
                                     [connection](benchmark::State &state) { registration(state, connection); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(QStringLiteral("ListAll/%1").arg(name).toStdString().c_str(),
                                     [connection](benchmark::State &state) { listAll(state, connection); })
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto &[name, connection] : {std::pair{"file", fileConnection}, std::pair{"server", serverConnection}}) {
        for (const auto &[what, text] : {std::pair{"Registration", wholeTable}, std::pair{"ListAll", listedColumns}}) {
            benchmark::RegisterBenchmark(QStringLiteral("%1/%2/reference").arg(what, name).toStdString().c_str(),
                                         [connection, text](benchmark::State &state) { readEverything(state, connection, text); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
