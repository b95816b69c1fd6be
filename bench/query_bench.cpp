// The query window's four searches (记录号, 送检科室, 报告日期, 查询全部) over a
// million stored examinations, in the window itself: from the click on "查询"
// to the first screen of rows painted. Each runs on a database where every
// record matches and on one where a tenth does, with the file warm and cold
// (dropped from the operating system's and SQLite's caches first).
// Targets: under 100 ms warm, under 250 ms cold.
// Beside each, the same grid over a reference result that reads every
// matching row into memory at opening, the way a classic data set does.
// Then, on the result where every record matches: Ctrl+End to the last row
// painted, right after the first screen (beside counting every row first)
// and once the count is complete, and dragging the scroll bar to the middle
// and to the end. Target: under 50 ms.
// "查询全部" over the realistic benchmark database also gives the memory a
// first screen adds (target under 100 MB).
//
//   build/bin/query_bench [--records=N] [--directory=DIR]
//
// The three databases are built once beside the program (a few minutes for a
// million records each) and kept. A run then takes about five minutes, most
// of it the reference reading a million rows cold.

#include "main_menu/form1.h"
#include "app/startup.h"
#include "bench_database.h"
#include "platform/widgets/data_grid.h"
#include "platform/widgets/dialogs.h"
#include "query/form_cx.h"
#include "store/connection.h"
#include "store/field_def.h"
#include "store/statement.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A message box would wait for a click that never comes: report and stop.
class StopOnMessage : public Dialogs {
public:
    bool confirm(const QString &text) override { stop(text); }
    void error(const QString &text) override { stop(text); }
    void message(const QString &text) override { stop(text); }
    void failure(const QString &text) override { stop(text); }

private:
    [[noreturn]] static void stop(const QString &text)
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::exit(1);
    }
};

// Every row of a result read into memory when it is loaded.
class AllRowsInMemory : public GridSource {
public:
    void load(sqlite3 *db, const QString &text)
    {
        Statement statement(db, text);
        fields_.clear();
        for (int column = 0; column < statement.columnCount(); ++column)
            fields_ << FieldDef::fromDeclaredType(statement.columnName(column), statement.declaredType(column));
        rows_ = BenchDatabase::readEverything(db, text);
        current_ = rows_.empty() ? -1 : 0;
        emit gridReset();
    }
    void clear()
    {
        std::vector<QVariantList>().swap(rows_);
        current_ = -1;
        emit gridReset();
    }

    int gridRowCount() const override { return int(rows_.size()); }
    int gridColumnCount() const override { return int(fields_.size()); }
    QString gridColumnTitle(int column) const override { return fields_.at(column).name; }
    ColumnKind gridColumnKind(int column) const override { return fields_.at(column).kind; }
    int gridDisplayWidth(int column) const override { return fields_.at(column).size; }
    QVariant gridValue(int row, int column) override { return rows_.at(row).at(column); }
    int gridCurrentRow() const override { return current_; }
    void gridSetCurrentRow(int row) override { current_ = row; }
    bool gridSuspended() const override { return false; }

private:
    QList<FieldDef> fields_;
    std::vector<QVariantList> rows_;
    int current_ = -1;
};

// The grid's rows when the last measured action was first painted: a search
// still counting shows fewer than it has.
int rowsAtFirstPaint = 0;

// Counts the paints of a grid's viewport.
class PaintCount : public QObject {
public:
    explicit PaintCount(DataGrid *grid) : grid_(grid) { grid->viewport()->installEventFilter(this); }
    ~PaintCount() override { grid_->viewport()->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && paints++ == 0)
            rowsAtFirstPaint = grid_->model()->rowCount();
        return false;
    }

private:
    DataGrid *grid_;
};

// Milliseconds from `action` until the grid has painted the outcome.
double msUntilPainted(const std::function<void()> &action)
{
    PaintCount count(Form_cx->DBGrid1);
    const auto start = Clock::now();
    action();
    QElapsedTimer deadline;
    deadline.start();
    while (count.paints == 0 && deadline.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // Events are processed until the paint has finished, not only begun.
    QCoreApplication::processEvents();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Search {
    const char *name;
    std::function<void()> choose;  // ticks the box and fills the field
    QString condition;             // the reference's second line, values written in
};

const std::vector<Search> &searches()
{
    static const std::vector<Search> all = {
        {"记录号",
         [] {
             Form_cx->CheckBox1->setChecked(true);
             Form_cx->Edit1->setText(QString::number(BenchDatabase::searchedNumber));
         },
         QStringLiteral("where jcjlh=%1").arg(BenchDatabase::searchedNumber)},
        {"送检科室",
         [] {
             Form_cx->CheckBox2->setChecked(true);
             Form_cx->Edit2->setText(BenchDatabase::searchedDepartment());
         },
         QStringLiteral("where jcks = '%1'").arg(BenchDatabase::searchedDepartment())},
        {"报告日期",
         [] {
             Form_cx->CheckBox3->setChecked(true);
             Form_cx->DateTimePicker1->setDate(BenchDatabase::searchedDay());
         },
         QStringLiteral("where jcrq = '%1'").arg(BenchDatabase::searchedDay().toString(Qt::ISODate))},
        {"查询全部", [] { Form_cx->CheckBox4->setChecked(true); }, QString()},
    };
    return all;
}

QString realisticDirectory;

void useDatabase(const QString &directory)
{
    Form_cx->ADOQuery1.Close();
    Form1->ADOConnection1.setConnectionString(Connection::connectionStringFor(directory));
}

// Drops the file from the operating system's cache and the connection's own.
void makeCold()
{
    sqlite3_db_release_memory(Form1->ADOConnection1.handle());
    BenchDatabase::dropFromPageCache(Form1->ADOConnection1.databasePath());
}

void search(const Search &chosen)
{
    chosen.choose();
    Form_cx->Button1->click();
}

// Runs the event loop until the grid's row count has stopped growing.
void untilCounted()
{
    int rows = -1;
    while (rows != Form_cx->DBGrid1->model()->rowCount()) {
        rows = Form_cx->DBGrid1->model()->rowCount();
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

void reportRows(benchmark::State &state)
{
    state.counters["records"] = Form_cx->ADOQuery1.active() ? Form_cx->ADOQuery1.recordCount()
                                                            : Form_cx->DBGrid1->model()->rowCount();
}

AllRowsInMemory reference;

// The reference over the same rows, once, in the same state of the caches.
double referenceMs(const Search &chosen, bool cold)
{
    const QString text = Form_cx->ADOQuery1.SQL().first() + '\n' + chosen.condition;
    Form_cx->ADOQuery1.Close();
    Form_cx->DBGrid1->setDataSource(&reference);
    if (cold)
        makeCold();
    const double ms = msUntilPainted([&] { reference.load(Form1->ADOConnection1.handle(), text); });
    reference.clear();
    Form_cx->DBGrid1->setDataSource(&Form_cx->ADOQuery1);
    return ms;
}

void FirstScreen(benchmark::State &state, const Search &chosen, int every, bool cold)
{
    useDatabase(BenchDatabase::prepareSearched(realisticDirectory, every));
    search(chosen);  // the window and the statements warm, as after a first search
    untilCounted();
    for (auto _ : state) {
        if (cold)
            makeCold();
        state.SetIterationTime(msUntilPainted([&] { search(chosen); }) / 1000.0);
        state.PauseTiming();
        untilCounted();
        state.ResumeTiming();
    }
    reportRows(state);
    state.counters["rows_painted"] = rowsAtFirstPaint;
    state.counters["target_ms"] = cold ? 250 : 100;
    state.counters["reference_ms"] = referenceMs(chosen, cold);
}

void moveToLastRow()
{
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(Form_cx->DBGrid1, &end);
}

// Ctrl+End on the department search where every record matches, right after
// its first screen or once the event loop has finished counting. Right after
// the first screen, beside it: counting the rest first, then Ctrl+End.
void MoveToLastRow(benchmark::State &state, bool counted)
{
    useDatabase(BenchDatabase::prepareSearched(realisticDirectory, 1));
    const Search &department = searches().at(1);
    for (auto _ : state) {
        msUntilPainted([&] { search(department); });
        if (counted)
            untilCounted();
        state.SetIterationTime(msUntilPainted(moveToLastRow) / 1000.0);
    }
    reportRows(state);
    state.counters["last_row_current"] =
        Form_cx->DBGrid1->currentIndex().row() + 1 == Form_cx->DBGrid1->model()->rowCount();
    state.counters["target_ms"] = 50;
    if (!counted) {
        msUntilPainted([&] { search(department); });
        state.counters["reference_ms"] = msUntilPainted([] {
            Form_cx->ADOQuery1.recordCount();
            moveToLastRow();
        });
    }
}

// The scroll bar dragged to the middle and then to the end of the same result, once counted.
void DragScrollBar(benchmark::State &state)
{
    useDatabase(BenchDatabase::prepareSearched(realisticDirectory, 1));
    msUntilPainted([] { search(searches().at(1)); });
    untilCounted();
    QScrollBar *bar = Form_cx->DBGrid1->verticalScrollBar();
    double worst = 0;
    for (auto _ : state) {
        double ms = 0;
        for (const int to : {bar->maximum() / 2, bar->maximum(), 0}) {
            const double one = msUntilPainted([&] { bar->setValue(to); });
            worst = std::max(worst, one);
            ms += one;
        }
        state.SetIterationTime(ms / 3 / 1000.0);
    }
    reportRows(state);
    state.counters["slowest_ms"] = worst;
    state.counters["target_ms"] = 50;
}

// "查询全部" on the realistic database: the memory a first screen adds.
void QueryAllMemory(benchmark::State &state)
{
    useDatabase(realisticDirectory);
    const Search &all = searches().at(3);
    long added = -1;
    for (auto _ : state) {
        Form_cx->ADOQuery1.Close();
        const long before = BenchDatabase::residentKilobytes();
        state.SetIterationTime(msUntilPainted([&] { search(all); }) / 1000.0);
        if (added < 0)
            added = BenchDatabase::residentKilobytes() - before;
    }
    reportRows(state);
    state.counters["added_MB"] = double(added) / 1024.0;
    state.counters["target_MB"] = 100;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    realisticDirectory = BenchDatabase::prepare(argc, argv);
    for (const int every : {1, 10})
        BenchDatabase::prepareSearched(realisticDirectory, every);
    StopOnMessage dialogs;
    Dialogs::install(&dialogs);
    Startup::createWindows(realisticDirectory);
    Form_cx->Show();

    std::vector<benchmark::internal::Benchmark *> benches;
    benches.push_back(benchmark::RegisterBenchmark("QueryAllMemory", QueryAllMemory)->Iterations(3));
    for (const int every : {1, 10}) {
        for (const bool cold : {false, true}) {
            for (const Search &chosen : searches()) {
                const std::string name = std::string("FirstScreen/") + chosen.name + (every == 1 ? "/all" : "/tenth")
                                         + (cold ? "/cold" : "/warm");
                benches.push_back(benchmark::RegisterBenchmark(name.c_str(), [&chosen, every, cold](benchmark::State &state) {
                                      FirstScreen(state, chosen, every, cold);
                                  })->Iterations(cold ? 3 : 10));
            }
        }
    }
    benches.push_back(benchmark::RegisterBenchmark("MoveToLastRow/right_after_first_screen",
                                                   [](benchmark::State &state) { MoveToLastRow(state, false); })
                          ->Iterations(5));
    benches.push_back(
        benchmark::RegisterBenchmark("MoveToLastRow/counted", [](benchmark::State &state) { MoveToLastRow(state, true); })
            ->Iterations(5));
    benches.push_back(benchmark::RegisterBenchmark("DragScrollBar", DragScrollBar)->Iterations(5));
    for (benchmark::internal::Benchmark *bench : benches)
        bench->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    Form_cx->DBGrid1->setDataSource(nullptr);
    Startup::destroyWindows();
    Dialogs::install(nullptr);
    return 0;
}
