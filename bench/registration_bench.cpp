// What the registration window runs at every showing, over a million stored
// examinations: the highest record number, and "select *  from hzzl" for its
// row count. Target: under 20 ms together, under 50 MB of added memory.
//
//   build/bin/registration_bench [--records=N] [--directory=DIR]
//
// The database is built once (about a minute for a million rows) and kept.

#include "store/connection.h"
#include "store/database_creator.h"
#include "store/query.h"
#include "store/statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace {

int records = 1000000;
QString databaseDirectory;

long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

QString findings(int i)
{
    const QString sentences[] = {
        QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。"),
        QStringLiteral("双肺门影不大，纵隔居中，心影大小、形态未见异常。"),
        QStringLiteral("两膈面光整，肋膈角锐利。"),
        QStringLiteral("腰椎生理曲度变直，诸椎体边缘骨质增生，呈唇样改变。"),
        QStringLiteral("椎间隙未见明显变窄，附件结构未见异常。"),
        QStringLiteral("右胫腓骨远端骨皮质连续性中断，断端对位对线尚可。"),
    };
    QString text;
    for (int k = 0; text.size() < 220; ++k)
        text += sentences[(i + k) % 6] + QChar(13);
    return text;
}

// Builds the database in a side folder and moves it into place when complete,
// so an interrupted build is never taken for a finished one.
void buildDatabase(const QString &directory)
{
    const QString building = directory + QStringLiteral(".building");
    QDir(building).removeRecursively();
    QDir().mkpath(building);
    DatabaseCreator::create(building + QStringLiteral("/ruvured.mdb"));
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(building));
    sqlite3 *db = connection.handle();
    Statement::execute(db, "PRAGMA synchronous = OFF");
    Statement::execute(db, "BEGIN");
    Statement insert(db, "insert into hzzl values (?,?,?,?,?,?,?,?,?,?,?)");
    const QDate first(2006, 1, 1);
    for (int i = 0; i < records; ++i) {
        const QDate day = first.addDays(i / 60);
        const int number = day.year() * 1000000 + day.month() * 10000 + day.day() * 100 + i % 60 + 1;
        insert.reset();
        insert.bindAll({number, QStringLiteral("患者%1").arg(i), i % 2 ? QStringLiteral("男") : QStringLiteral("女"),
                        20 + i % 60, day.toString(Qt::ISODate), QStringLiteral("胸部正位"), QStringLiteral("呼吸内科"),
                        QStringLiteral("咳嗽待查"), findings(i), QStringLiteral("心肺膈未见明显异常。"),
                        QString::number(i % 40)});
        insert.step();
    }
    Statement::execute(db, "COMMIT");
    connection.close();
    QDir().rename(building, directory);
}

void RegistrationShowQueries(benchmark::State &state)
{
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(databaseDirectory));
    connection.open();
    // Memory and the cold first showing are taken once per process: later runs
    // reuse memory the first one freed, which would hide what it took.
    static const long before = residentKilobytes();
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
            added = residentKilobytes() - before;
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
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--records=", 10) == 0)
            records = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--directory=", 12) == 0)
            databaseDirectory = QString::fromLocal8Bit(argv[i] + 12);
    }
    if (databaseDirectory.isEmpty())
        databaseDirectory = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data-%1").arg(records);
    if (!QFile::exists(databaseDirectory + QStringLiteral("/ruvured.mdb")))
        buildDatabase(databaseDirectory);

    benchmark::RegisterBenchmark("RegistrationShowQueries", RegistrationShowQueries)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
