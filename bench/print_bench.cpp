// "打印" of a new examination in the report window, from the press to the job
// handed to the printer: the examination saved beside a million stored ones,
// the diagnosis report generated and given to the printer, on the file and on
// a server database of as many examinations. Targets: under 150 ms for a
// one-page report, under 300 ms for a three-page one. Beside it, in the same
// turns, the press of a program without a report engine: the same row
// inserted alone, unchecked and outside any transaction, and the same report
// as an HTML QTextDocument printed on the same device. The whole press, until
// registration is shown again and the operator can go on, is printed too.
//
//   QT_QPA_PLATFORM=offscreen build/bin/print_bench [--records=N] [--directory=DIR]
//
// The printer is a 600 dpi A4 PDF writer whose output is thrown away; the
// file is the benchmarks' shared database, the server database lives in a
// private cluster of this run (BenchServer). The examinations the presses
// store are removed again after the cases of an engine. With CUPS_SERVER set
// (for instance to the private scheduler of tests/report_engine/cups/start.sh)
// the presses are timed once more on that scheduler's default queue.

#include "bench_database.h"
#include "bench_server.h"
#include "pdf_printer.h"
#include "sample_examination.h"
#include "sample_findings.h"

#include "main_menu/form1.h"
#include "app/startup.h"
#include "platform/widgets/dialogs.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "reporting/qrreport7.h"
#include "store/connection.h"

#include <QApplication>
#include <QPushButton>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>

namespace {

// Any box a run would show is a failure of the benchmark.
class CountingDialogs : public Dialogs {
public:
    bool confirm(const QString &) override { return true; }
    void error(const QString &text) override { shown << text; }
    void message(const QString &text) override { shown << text; }
    void failure(const QString &text) override { shown << text; }
    QStringList shown;
};

CountingDialogs dialogs;
std::map<std::string, double> milliseconds;

// The offscreen platform cannot raise windows and says so at every showing.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
        qt_message_output(type, context, message);
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Main menu "增加病人", registration "增加", then the report window filled.
void registerPatient(int pages)
{
    Form1->Button1->click();
    Form_zj->Button1->click();
    fillReportWindow(SampleFindings::text(SampleFindings::linesFor(pages)), QStringLiteral("心肺膈未见明显异常。"));
}

// The same report as HTML, as a program without a report engine would print it.
QString referenceHtml(int pages)
{
    QString findings = SampleFindings::text(SampleFindings::linesFor(pages)).toHtmlEscaped();
    findings.replace(QChar(13), QStringLiteral("<br>"));
    return QStringLiteral(
        "<h1 align=center>松岭县中医院</h1><h1 align=center>X线医学影像诊断报告单</h1>"
        "<p>记录号：2006030501</p><hr><table width=100%><tr><td>病人姓名：张三</td><td>性别：男</td>"
        "<td>年龄：45</td><td>床号：12</td></tr><tr><td>送检科室：内科</td><td colspan=3>临床诊断：咳嗽待查</td></tr>"
        "<tr><td colspan=4>检查部位：胸部正位</td></tr></table><hr><p><b>检查所见：</b></p><p>%1</p>"
        "<p><b>诊断意见：</b></p><p>心肺膈未见明显异常。</p><p><b>报告医生：</b>　　　　<b>负责医生：</b></p><hr>"
        "<p>本报告仅供临床参考，负责医生签字后方可生效。　报告日期：2006-03-05</p>").arg(findings);
}

// The program's windows work on one engine at a time; the cases of an engine
// run together. Leaving an engine removes the examinations its cases stored,
// so the shared file stays as the other benchmarks expect it (the trail keeps
// its events, as it must).
class Workstation {
public:
    static void useEngine(BenchEngine engine)
    {
        if (current_ == engine)
            return;
        leave();
        folder_ = engine == BenchEngine::Server ? BenchServer::programFolder() : fileFolder_;
        Startup::createWindows(folder_);
        current_ = engine;
        highestBefore_ = Form1->ADOConnection1.scalar(QStringLiteral("select max(jcjlh) from hzzl"));
        Form1->Show();
        // Fonts, first-use caches and the engine's plans are warmed before the figures.
        registerPatient(1);
        Form_dy->Button5->click();
        Form_zj->Close();
        Form1->Show();
    }

    static void leave()
    {
        if (!current_)
            return;
        Startup::destroyWindows();
        Connection connection;
        if (*current_ == BenchEngine::Server)
            connection.setServer(BenchServer::conninfo());
        else
            connection.setConnectionString(Connection::connectionStringFor(folder_));
        connection.write(QStringLiteral("delete from hzzl where jcjlh > ? or jcjlh < ?"), {highestBefore_, referenceNumber_});
        current_.reset();
    }

    static void setFileFolder(const QString &folder) { fileFolder_ = folder; }

    // The reference's rows take numbers below every stored one, so that the
    // program's next number is the same as without them.
    static qint32 referenceNumber() { return referenceNumber_++; }

private:
    static inline std::optional<BenchEngine> current_;
    static inline QString fileFolder_;
    static inline QString folder_;
    static inline QVariant highestBefore_;
    static inline qint32 referenceNumber_ = 1000;
};

// Medians of presses of "打印" on a new examination, each followed by the
// reference's press: to the job handed over (the PDF printer notes when it
// finished the document), to the whole press over (registration shown again,
// when the operator can go on), and the reference.
struct PressTimes {
    double job = 0;
    double whole = 0;
    double reference = 0;
};

PressTimes pressPrint(benchmark::State &state, BenchEngine engine, int pages)
{
    Workstation::useEngine(engine);
    const QString html = referenceHtml(pages);
    std::vector<double> job, whole, reference;
    for (auto _ : state) {
        state.PauseTiming();
        registerPatient(pages);
        Form1->ADOConnection1.operatorActive();  // a real press is the operator's
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        Form_dy->Button5->click();
        whole.push_back(millisecondsSince(start));
        job.push_back(std::chrono::duration<double, std::milli>(PdfPrinter::lastHandedOver() - start).count());
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        BenchDatabase::insertExamination(Form1->ADOConnection1, Workstation::referenceNumber());
        PdfPrinter::printReference([&](QTextDocument &document) { document.setHtml(html); }, QMarginsF(10, 10, 10, 10));
        reference.push_back(millisecondsSince(start));
        Form_zj->Close();  // "打印" opened registration; the next round starts at the main menu
        Form1->Show();
        state.ResumeTiming();
    }
    state.counters["pages"] = QRReport7->Functions[QStringLiteral("PAGENUMBER")].toInt();
    state.counters["reference_ms"] = BenchDatabase::median(reference);
    return {BenchDatabase::median(job), BenchDatabase::median(whole), BenchDatabase::median(reference)};
}

std::string caseKey(BenchEngine engine, int pages)
{
    return std::string(BenchServer::name(engine)) + "/" + std::to_string(pages);
}

int targetMs(int pages)
{
    return pages == 1 ? 150 : 300;
}

void PressPrint(benchmark::State &state, BenchEngine engine)
{
    const int pages = int(state.range(0));
    const PressTimes times = pressPrint(state, engine, pages);
    const std::string key = caseKey(engine, pages);
    milliseconds["press/" + key] = times.job;
    milliseconds["whole/" + key] = times.whole;
    milliseconds["reference/" + key] = times.reference;
    state.counters["press_ms"] = times.job;
    state.counters["target_ms"] = targetMs(pages);
    state.counters["whole_press_ms"] = times.whole;
    state.SetLabel(std::string(BenchServer::name(engine))
                   + "; medians; press_ms to the job handed over; reference: plain insert + QTextDocument::print");
}

// The same on the default queue of the CUPS scheduler named by CUPS_SERVER:
// the job really handed over, as the program does it. That device notes no
// time of its own, so the figure is the whole press.
void PressPrintOnCups(benchmark::State &state, BenchEngine engine)
{
    const int pages = int(state.range(0));
    PrinterDevice::setFactory({});
    const PressTimes times = pressPrint(state, engine, pages);
    PdfPrinter::install();
    milliseconds["cups/" + caseKey(engine, pages)] = times.whole;
    state.counters["whole_press_ms"] = times.whole;
    state.SetLabel(std::string(BenchServer::name(engine)) + "; medians of the whole press");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    PdfPrinter::install();
    Dialogs::install(&dialogs);
    Workstation::setFileFolder(BenchDatabase::prepare(argc, argv));
    const bool cups = qEnvironmentVariableIsSet("CUPS_SERVER");

    for (const BenchEngine engine : {BenchEngine::File, BenchEngine::Server}) {
        const std::string name = BenchServer::name(engine);
        benchmark::RegisterBenchmark(("PressPrint/" + name).c_str(), PressPrint, engine)
            ->ArgName("pages")->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(20);
        if (cups)
            benchmark::RegisterBenchmark(("PressPrintOnCups/" + name).c_str(), PressPrintOnCups, engine)
                ->ArgName("pages")->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(10);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Workstation::leave();
    std::printf("\n\"打印\" of a new examination, medians: to the job handed over; to the whole press over "
                "(registration shown again); reference (plain insert + QTextDocument)\n");
    for (const BenchEngine engine : {BenchEngine::File, BenchEngine::Server}) {
        for (const int pages : {1, 3}) {
            const std::string key = caseKey(engine, pages);
            if (milliseconds.count("press/" + key))
                std::printf("  %-6s %d page(s): %.1f ms (target < %d ms); whole press %.1f ms; reference %.1f ms\n",
                            BenchServer::name(engine), pages, milliseconds["press/" + key], targetMs(pages),
                            milliseconds["whole/" + key], milliseconds["reference/" + key]);
            if (milliseconds.count("cups/" + key))
                std::printf("  %-6s %d page(s), the whole press on the CUPS scheduler of CUPS_SERVER: %.1f ms\n",
                            BenchServer::name(engine), pages, milliseconds["cups/" + key]);
        }
    }
    if (!dialogs.shown.isEmpty())
        std::printf("Boxes shown during the runs (the figures are void): %s\n", qPrintable(dialogs.shown.join(" | ")));
    return dialogs.shown.isEmpty() ? 0 : 1;
}
