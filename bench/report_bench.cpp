// Printing the diagnosis report: one page, generated and handed to
// the printer, under 100 ms; and findings that run to 10 and 100 pages, where
// time must grow linearly (100 pages under 12 times 10 pages) and peak memory
// stay flat (under twice that of one page). Beside each run: the same text
// printed by a QTextDocument onto the same device.
//
//   build/bin/report_bench
//
// The device is a 600 dpi A4 PDF writer whose output is thrown away, so the
// figures hold the engine, text layout and PDF generation, not a spooler.

#include "pdf_printer.h"
#include "reporting/qrreport7.h"
#include "sample_findings.h"

#include <QApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

long StatusKilobytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    }
    return 0;
}

// Starts a new peak: the kernel sets the high-water mark of resident memory
// back to what is resident now, so VmHWM afterwards is the peak of one run.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Figures {
    double ms = 0;
    double peakMB = 0;
    int pages = 0;
};
std::map<std::string, Figures> results;

void Report(benchmark::State &state)
{
    const int pages = int(state.range(0));
    TQRReport7 report;
    report.QRLabel_jlh->SetCaption(QStringLiteral("2026120901"));
    report.QRRichText1->AddLine(SampleFindings::text(SampleFindings::linesFor(pages)));
    report.QRRichText2->AddLine(QStringLiteral("心肺膈未见明显异常。"));
    report.PrintToPrinter();  // fonts and first-use caches are loaded outside the figures
    ResetPeak();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        report.PrintToPrinter();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    Figures &f = results["engine/" + std::to_string(pages)];
    f.ms = total / double(state.iterations());
    f.peakMB = double(StatusKilobytes("VmHWM")) / 1024;
    f.pages = report.Functions[QStringLiteral("PAGENUMBER")].toInt();  // the last run's last page
    state.counters["pages"] = f.pages;
    state.counters["peak_RSS_MB"] = f.peakMB;
    state.SetLabel(pages == 1 ? "target: < 100 ms" : "target: linear in pages, flat memory");
}

void TextDocumentReference(benchmark::State &state)
{
    const int pages = int(state.range(0));
    QString text = SampleFindings::text(SampleFindings::linesFor(pages));
    text.replace(QChar(13), QChar(10));
    // The text in the findings box's width, page after page.
    const auto print = [&] {
        PdfPrinter::printReference([&](QTextDocument &document) { document.setPlainText(text); },
                                   QMarginsF(24.817, 65.033, 24.0, 26.93));
    };
    print();
    ResetPeak();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        print();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    Figures &f = results["reference/" + std::to_string(pages)];
    f.ms = total / double(state.iterations());
    f.peakMB = double(StatusKilobytes("VmHWM")) / 1024;
    state.counters["peak_RSS_MB"] = f.peakMB;
    state.SetLabel("reference: QTextDocument::print on the same device");
}

void PrintSummary()
{
    const auto &one = results["engine/1"];
    const auto &ten = results["engine/10"];
    const auto &hundred = results["engine/100"];
    const auto &refTen = results["reference/10"];
    const auto &refHundred = results["reference/100"];
    std::printf("\nOne report page: %.1f ms (target < 100 ms); QTextDocument: %.1f ms\n", one.ms,
                results["reference/1"].ms);
    std::printf("100 pages / 10 pages: %.2f times (target < 12); QTextDocument: %.2f times\n",
                hundred.ms / ten.ms, refHundred.ms / refTen.ms);
    std::printf("Peak resident memory, 100 pages: %.1f MB, 1 page: %.1f MB, ratio %.2f (target < 2); "
                "QTextDocument: %.1f MB and %.1f MB\n",
                hundred.peakMB, one.peakMB, hundred.peakMB / one.peakMB, refHundred.peakMB, results["reference/1"].peakMB);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PdfPrinter::install();
    // Memory peaks are taken from the smallest run up, so a later run never
    // reuses what an earlier, larger one freed.
    for (int pages : {1, 10, 100}) {
        benchmark::RegisterBenchmark("Report", Report)->Arg(pages)->Unit(benchmark::kMillisecond)->Iterations(pages == 100 ? 3 : 10);
        benchmark::RegisterBenchmark("TextDocumentReference", TextDocumentReference)
            ->Arg(pages)->Unit(benchmark::kMillisecond)->Iterations(pages == 100 ? 3 : 10);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    return 0;
}
