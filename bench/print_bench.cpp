// "打印" of a new examination in the report window, from the press to the job
// handed to the printer: the examination saved beside a million stored ones,
// the diagnosis report generated and given to the printer, on the file and on
// a server database of as many examinations. Targets: under 150 ms for a
// one-page report, under 300 ms for a three-page one. Beside it, in the same
// turns, the press of a program without a report engine: the same row
// inserted alone, unchecked and outside any transaction, and the same report
// as an HTML QTextDocument printed on the same device.
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

// Presses of "打印" on a new examination with a report of `pages` pages, each
// followed by the reference's press; the medians go to `milliseconds` under
// `key` and the reference's under "reference/" + `key`.
void pressPrint(benchmark::State &state, BenchEngine engine, int pages, const std::string &key)
{
    Workstation::useEngine(engine);
    const QString html = referenceHtml(pages);
    std::vector<double> presses, references;
    for (auto _ : state) {
        state.PauseTiming();
        registerPatient(pages);
        Form1->ADOConnection1.operatorActive();  // a real press is the operator's
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        Form_dy->Button5->click();
        presses.push_back(millisecondsSince(start));
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        BenchDatabase::insertExamination(Form1->ADOConnection1, Workstation::referenceNumber());
        PdfPrinter::printReference([&](QTextDocument &document) { document.setHtml(html); }, QMarginsF(10, 10, 10, 10));
        references.push_back(millisecondsSince(start));
        Form_zj->Close();  // "打印" opened registration; the next round starts at the main menu
        Form1->Show();
        state.ResumeTiming();
    }
    milliseconds[key] = BenchDatabase::median(presses);
    milliseconds["reference/" + key] = BenchDatabase::median(references);
    state.counters["press_ms"] = milliseconds[key];
    state.counters["target_ms"] = pages == 1 ? 150 : 300;
    state.counters["reference_ms"] = milliseconds["reference/" + key];
    state.counters["pages"] = QRReport7->Functions[QStringLiteral("PAGENUMBER")].toInt();
    state.SetLabel(std::string(BenchServer::name(engine)) + "; medians; reference: plain insert + QTextDocument::print");
}

std::string caseKey(BenchEngine engine, int pages)
{
    return std::string(BenchServer::name(engine)) + "/" + std::to_string(pages);
}

void PressPrint(benchmark::State &state, BenchEngine engine)
{
    const int pages = int(state.range(0));
    pressPrint(state, engine, pages, "press/" + caseKey(engine, pages));
}

// The same on the default queue of the CUPS scheduler named by CUPS_SERVER:
// the job really handed over, as the program does it.
void PressPrintOnCups(benchmark::State &state, BenchEngine engine)
{
    const int pages = int(state.range(0));
    PrinterDevice::setFactory({});
    pressPrint(state, engine, pages, "cups/" + caseKey(engine, pages));
    PdfPrinter::install();
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
    std::printf("\n\"打印\" of a new examination to the job handed over, medians (reference: plain insert + QTextDocument):\n");
    for (const BenchEngine engine : {BenchEngine::File, BenchEngine::Server}) {
        for (const int pages : {1, 3}) {
            const std::string key = caseKey(engine, pages);
            if (milliseconds.count("press/" + key))
                std::printf("  %-6s %d page(s): %.1f ms (target < %d ms); reference %.1f ms\n", BenchServer::name(engine), pages,
                            milliseconds["press/" + key], pages == 1 ? 150 : 300, milliseconds["reference/press/" + key]);
            if (milliseconds.count("cups/" + key))
                std::printf("  %-6s %d page(s) on the CUPS scheduler of CUPS_SERVER: %.1f ms\n", BenchServer::name(engine),
                            pages, milliseconds["cups/" + key]);
        }
    }
    if (!dialogs.shown.isEmpty())
        std::printf("Boxes shown during the runs (the figures are void): %s\n", qPrintable(dialogs.shown.join(" | ")));
    return dialogs.shown.isEmpty() ? 0 : 1;
}
