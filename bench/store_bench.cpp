// The store over a million stored examinations (about 880 MB), each case
// beside a reference that reads every row into memory, in the same run:
//
//   build/bin/store_bench [--records=N] [--directory=DIR] [--benchmark_filter=...]
//
// - StartToMainMenu/{warm,cold}: the real program's start-up, from process
//   start until the main menu is shown; reference: an empty Qt window.
//   Target: within twice the reference, warm and cold.
// - RegistrationShow/{warm,cold}: the two statements of every registration
//   showing through our data sets. Target: under 20 ms cold.
// - GridMove/*: Ctrl+End, Page Up from the end, the thumb dragged anywhere, on
//   the query window's "all records" result; each reads the rows a grid paints.
//   Target: under 50 ms per move.
// - ScrolledEndToEnd: memory added by that result after every row has been
//   shown. Target: under 150 MB.
// "cold" drops the database file from the operating system's cache first.
//
// The database is built once (a few minutes for a million rows) and kept
// under the build folder.

#include "app/form1.h"
#include "app/startup.h"
#include "store/connection.h"
#include "store/database_creator.h"
#include "store/query.h"
#include "store/statement.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

int records = 1000000;
QString databaseDirectory;
QString selfPath;
constexpr int gridRows = 20;  // rows a result grid shows at once
const QString allRecords = QStringLiteral(
    "select jcjlh as 检查纪录号,xm as 姓名,xb as 性别,nl as 年龄,jcrq as 检查日期,jcbw as 检查部位,jcks as 送检科室,"
    "lczd as 临床诊断,jcsj as 检查所见,zdyj as 诊断意见,jtzz as 家庭住址 from hzzl");

QString databasePath()
{
    return databaseDirectory + QStringLiteral("/ruvured.mdb");
}

long residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Drops the database file from the operating system's page cache.
void dropFileCache()
{
    const int fd = ::open(QFile::encodeName(databasePath()).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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

// The reference: every row of the result read into memory at opening.
std::vector<QVariantList> readEverything(sqlite3 *db, const QString &text)
{
    std::vector<QVariantList> rows;
    Statement statement(db, text);
    while (statement.step()) {
        QVariantList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row << statement.value(column);
        rows.push_back(std::move(row));
    }
    return rows;
}

// What a grid reads to paint rows first .. first+gridRows-1.
void paint(Query &result, int first)
{
    const int last = std::min(first + gridRows, result.recordCount());
    for (int row = std::max(first, 0); row < last; ++row) {
        for (int column = 0; column < result.gridColumnCount(); ++column)
            benchmark::DoNotOptimize(result.gridValue(row, column));
    }
}

// ---------------------------------------------------------------- start-up

// Child process: start the program (or an empty window) and say when its
// first window is on the screen.
int runChild(const QString &what, int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget *window = nullptr;
    QWidget empty;
    if (what == QLatin1String("program")) {
        Startup::createWindows(databaseDirectory);
        Form1->Show();
        window = Form1;
    } else {
        empty.resize(341, 171);
        empty.show();
        window = &empty;
    }
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    if (what == QLatin1String("program"))
        Startup::destroyWindows();
    return 0;
}

double timeChild(const QString &what)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("DISPLAY")) && !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    const auto start = std::chrono::steady_clock::now();
    child.start(selfPath, {QStringLiteral("--child=") + what, QStringLiteral("--directory=") + databaseDirectory});
    while (!child.readAllStandardOutput().contains("shown") && child.state() != QProcess::NotRunning)
        child.waitForReadyRead(10000);
    const double ms = msSince(start);
    child.waitForFinished(60000);
    return ms;
}

void StartToMainMenu(benchmark::State &state)
{
    const bool cold = state.range(0) == 1;
    double program = 0, empty = 0;
    for (auto _ : state) {
        if (cold)
            dropFileCache();
        program += timeChild(QStringLiteral("program"));
        if (cold)
            dropFileCache();
        empty += timeChild(QStringLiteral("empty"));
    }
    const double n = double(state.iterations());
    state.counters["program_ms"] = program / n;
    state.counters["reference_empty_window_ms"] = empty / n;
    state.counters["ratio"] = program / empty;
    state.SetLabel(cold ? "cold; target ratio <= 2" : "warm; target ratio <= 2");
}

// ---------------------------------------------------------------- registration

void RegistrationShow(benchmark::State &state)
{
    const bool cold = state.range(0) == 1;
    double ours = 0;
    for (auto _ : state) {
        if (cold)
            dropFileCache();
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(databaseDirectory));
        connection.open();
        const auto start = std::chrono::steady_clock::now();
        Query highest(&connection, "ADOQuery3");
        Query all(&connection, "ADOQuery4");
        highest.Reopen({"select max(jcjlh) as jlh from hzzl"});
        all.Reopen({"select *  from hzzl"});
        benchmark::DoNotOptimize(all.recordCount());
        benchmark::DoNotOptimize(highest.fieldByName("jlh").asInteger());
        ours += msSince(start);
    }
    // Reference, once: the whole table read into memory to learn its row count.
    static double reference = -1;
    if (reference < 0) {
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(databaseDirectory));
        if (cold)
            dropFileCache();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(readEverything(connection.handle(), "select *  from hzzl").size());
        reference = msSince(start);
    }
    state.counters["ours_ms"] = ours / double(state.iterations());
    state.counters["reference_read_all_ms"] = reference;
    state.SetLabel(cold ? "cold; target < 20 ms" : "warm");
}

// ---------------------------------------------------------------- grid moves

struct OpenResult {
    Connection connection;
    Query result{&connection, QStringLiteral("ADOQuery1")};
    OpenResult()
    {
        connection.setConnectionString(Connection::connectionStringFor(databaseDirectory));
        result.Reopen({allRecords});
        paint(result, 0);
    }
};

// The reference moves on rows held in memory, read whole once per process.
const std::vector<QVariantList> &referenceRows(double *openMs = nullptr, long *addedKb = nullptr)
{
    static double ms = 0;
    static long kb = 0;
    static std::vector<QVariantList> rows = [] {
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(databaseDirectory));
        const long before = residentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        auto all = readEverything(connection.handle(), allRecords);
        ms = msSince(start);
        kb = residentKilobytes() - before;
        return all;
    }();
    if (openMs)
        *openMs = ms;
    if (addedKb)
        *addedKb = kb;
    return rows;
}

void GridMove(benchmark::State &state)
{
    const int kind = int(state.range(0));
    double worst = 0, total = 0;
    std::mt19937 random(42);
    for (auto _ : state) {
        state.PauseTiming();
        dropFileCache();
        OpenResult open;  // a fresh result, just opened, first rows shown
        Query &result = open.result;
        const int last = result.recordCount() - 1;
        if (kind == 1)  // Page Up starts at the end
            paint(result, last - gridRows + 1);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        switch (kind) {
        case 0:  // Ctrl+End
            result.setCurrentRow(last);
            paint(result, last - gridRows + 1);
            break;
        case 1:  // Page Up from the end
            result.setCurrentRow(last - gridRows);
            paint(result, last - 2 * gridRows + 1);
            break;
        default:  // the thumb let go anywhere
        {
            const int row = int(random() % unsigned(last + 1));
            result.setCurrentRow(row);
            paint(result, row);
            break;
        }
        }
        const double ms = msSince(start);
        worst = std::max(worst, ms);
        total += ms;
    }
    double referenceOpen = 0;
    const auto &rows = referenceRows(&referenceOpen);
    const auto start = std::chrono::steady_clock::now();
    for (int row = int(rows.size()) - gridRows; row < int(rows.size()); ++row)
        benchmark::DoNotOptimize(rows[row]);
    state.counters["ours_ms"] = total / double(state.iterations());
    state.counters["ours_worst_ms"] = worst;
    state.counters["reference_move_ms"] = msSince(start);
    state.counters["reference_open_ms"] = referenceOpen;
    state.SetLabel("cold file; target < 50 ms per move");
}

void ScrolledEndToEnd(benchmark::State &state)
{
    long added = 0;
    for (auto _ : state) {
        const long before = residentKilobytes();
        OpenResult open;
        for (int row = 0; row < open.result.recordCount(); row += gridRows)
            paint(open.result, row);
        // The thumb dragged back to the top, as an operator would.
        for (int row = open.result.recordCount() - 1; row >= 0; row -= open.result.recordCount() / 50)
            paint(open.result, row);
        added = residentKilobytes() - before;
    }
    long referenceKb = 0;
    referenceRows(nullptr, &referenceKb);
    state.counters["ours_added_MB"] = double(added) / 1024.0;
    state.counters["reference_added_MB"] = double(referenceKb) / 1024.0;
    state.SetLabel("target < 150 MB");
}

} // namespace

int main(int argc, char **argv)
{
    QString child;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--records=", 10) == 0)
            records = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--directory=", 12) == 0)
            databaseDirectory = QString::fromLocal8Bit(argv[i] + 12);
        else if (std::strncmp(argv[i], "--child=", 8) == 0)
            child = QString::fromLocal8Bit(argv[i] + 8);
    }
    if (!child.isEmpty())
        return runChild(child, argc, argv);

    QCoreApplication app(argc, argv);
    selfPath = QCoreApplication::applicationFilePath();
    if (databaseDirectory.isEmpty())
        databaseDirectory = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data-%1").arg(records);
    if (!QFile::exists(databasePath()))
        buildDatabase(databaseDirectory);

    benchmark::RegisterBenchmark("StartToMainMenu", StartToMainMenu)->ArgNames({"cold"})->Arg(0)->Arg(1)
        ->Iterations(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RegistrationShow", RegistrationShow)->ArgNames({"cold"})->Arg(0)->Arg(1)
        ->Iterations(5)->Unit(benchmark::kMillisecond);
    for (const auto &[name, kind] : {std::pair{"GridMove/CtrlEnd", 0}, {"GridMove/PageUpFromEnd", 1}, {"GridMove/Thumb", 2}})
        benchmark::RegisterBenchmark(name, GridMove)->Arg(kind)->Iterations(10)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ScrolledEndToEnd", ScrolledEndToEnd)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
