// The save behind "打印" of a new examination on both engines, beside a million
// stored examinations: the record number checked and the row inserted in one
// write transaction (RecordNumber::store), the part of "打印" that reaches the
// database. Target: well inside the 150 ms of the whole press. Beside it, in
// the same run, the reference: the same insert alone, unchecked, outside any
// transaction, as the classic save did.
//
//   build/bin/save_bench [--records=N] [--directory=DIR]
//
// The file is the benchmarks' shared database; the server database lives in a
// private cluster of this run and is filled with generate_series (about a
// minute for a million rows).

#include "bench_database.h"
#include "platform/core/clock.h"
#include "private_cluster.h"
#include "store/connection.h"
#include "store/record_number.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

const QString insert = QStringLiteral("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jtzz, jcsj, zdyj) "
                                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

QVariantList row(qint32 number)
{
    return {number, QStringLiteral("张三"), QStringLiteral("男"), 45, Clock::today().toString(Qt::ISODate),
            QStringLiteral("胸部正位"), QStringLiteral("内科"), QStringLiteral("咳嗽待查"), QStringLiteral("12"),
            QStringLiteral("两肺纹理清晰。\r"), QStringLiteral("心肺膈未见异常。\r")};
}

Connection *fileConnection = nullptr;
Connection *serverConnection = nullptr;

void save(benchmark::State &state, Connection *connection)
{
    double reference = 0;
    for (auto _ : state) {
        const qint32 shown = RecordNumber::next(Clock::today(), connection->scalar(QStringLiteral("select max(jcjlh) from hzzl")));
        state.PauseTiming();
        // The reference's insert, timed by hand in the same iteration.
        QElapsedTimer plain;
        plain.start();
        connection->write(insert, row(shown + 1000));
        reference += plain.nsecsElapsed() / 1e6;
        state.ResumeTiming();
        RecordNumber::store(*connection, shown, [&](qint32 number) { connection->write(insert, row(number)); });
    }
    state.counters["reference_plain_insert_ms"] = reference / double(state.iterations());
    state.SetLabel("target < 150 ms (the whole press)");
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
    server.setServer(PrivateCluster::instance().createWorkstationDatabase());
    server.write(QStringLiteral("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jtzz, jcsj, zdyj) "
                                "select 1000000000 + n, '患者' || n, '男', n % 100, date '2006-03-05' + (n / 100), "
                                "'胸部正位', '内科', '咳嗽待查', n::text, repeat('两肺纹理增粗。', 20), '考虑支气管炎' "
                                "from generate_series(1, ?) as n"),
                 {BenchDatabase::records()});
    server.write(QStringLiteral("analyze hzzl"), {});
    serverConnection = &server;

    benchmark::RegisterBenchmark("Save/file", [](benchmark::State &state) { save(state, fileConnection); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    benchmark::RegisterBenchmark("Save/server", [](benchmark::State &state) { save(state, serverConnection); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
