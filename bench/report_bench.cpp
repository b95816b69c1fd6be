// Printing the diagnosis report: one page like it, generated and handed to
// the printer, under 100 ms; and findings that run to 10 and 100 pages, where
// time must grow linearly (100 pages under 12 times 10 pages) and peak memory
// stay flat (under twice that of one page). Beside each run: the same text
// printed by a QTextDocument onto the same device.
//
//   build/bin/report_bench
//
// The device is a 600 dpi A4 PDF writer whose output is thrown away, so the
// figures hold the engine, text layout and PDF generation, not a spooler.

#include "platform/printing/print_font.h"
#include "platform/printing/printer_device.h"
#include "sample_report.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr const char *Discarded = "/dev/null";

// A 600 dots-per-inch A4 printer that writes PDF and throws it away.
class PdfPrinter : public PrinterDevice {
public:
    bool serviceReachable() const override { return true; }
    QStringList printerNames() const override { return {QStringLiteral("bench")}; }
    int defaultPrinterIndex() const override { return 0; }
    void select(int) override { resetDeviceMode(); }
    QString deviceName() const override { return QStringLiteral("bench"); }
    QString driverName() const override { return QStringLiteral("pdf"); }
    QString portName() const override { return QStringLiteral("null"); }
    DeviceMode deviceMode() const override { return mode_; }
    void setDeviceMode(const DeviceMode &mode) override { mode_ = mode; }
    void resetDeviceMode() override
    {
        mode_ = DeviceMode();
        mode_.fields = DeviceMode::DM_ORIENTATION | DeviceMode::DM_PAPERSIZE | DeviceMode::DM_COPIES;
        mode_.paperSize = 9;
    }
    QList<int> paperCodes() const override { return {9}; }
    DeviceMeasurements measurements() const override { return {600, 600, 4961, 7016, 0, 0}; }
    void beginDocument(const QString &title) override
    {
        writer_ = std::make_unique<QPdfWriter>(QString::fromLatin1(Discarded));
        Prepare(*writer_);
        writer_->setTitle(title);
        painter_.begin(writer_.get());
    }
    void newPage() override { writer_->newPage(); }
    void endDocument() override
    {
        painter_.end();
        writer_.reset();
    }
    void abortDocument() override { endDocument(); }
    bool printing() const override { return painter_.isActive(); }
    QPainter &canvas() override { return painter_; }

    static void Prepare(QPdfWriter &writer)
    {
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    }

private:
    DeviceMode mode_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
};

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

// Findings of `lines` phrases, one line each in the report's 161 mm box.
QString Findings(int lines)
{
    const QString phrases[] = {
        QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。"),
        QStringLiteral("双肺门影不大，纵隔居中，心影大小、形态未见异常。"),
        QStringLiteral("两膈面光整，肋膈角锐利。"),
        QStringLiteral("腰椎生理曲度变直，诸椎体边缘骨质增生，呈唇样改变。"),
    };
    QString text;
    for (int i = 0; i < lines; ++i)
        text += phrases[i % 4] + QChar(13);
    return text;
}

// Lines that fill `pages` pages: 10 in the box on page 1, 12 on each later
// page, where the band grows by two steps.
int LinesFor(int pages)
{
    return pages == 1 ? 8 : 10 + 12 * (pages - 1);
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
    SampleReport report;
    report.QRLabel_jlh->SetCaption(QStringLiteral("2026120901"));
    SampleReport::Fill(report.QRRichText1, Findings(LinesFor(pages)));
    SampleReport::Fill(report.QRRichText2, QStringLiteral("心肺膈未见明显异常。"));
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
    f.pages = report.PagesOpened();
    state.counters["pages"] = f.pages;
    state.counters["peak_RSS_MB"] = f.peakMB;
    state.SetLabel(pages == 1 ? "target: < 100 ms" : "target: linear in pages, flat memory");
}

void TextDocumentReference(benchmark::State &state)
{
    const int pages = int(state.range(0));
    QString text = Findings(LinesFor(pages));
    text.replace(QChar(13), QChar(10));
    // The text in the findings box's width, page after page.
    const auto print = [&] {
        QPdfWriter writer(QString::fromLatin1(Discarded));
        PdfPrinter::Prepare(writer);
        writer.setPageMargins(QMarginsF(24.817, 65.033, 24.0, 26.93), QPageLayout::Millimeter);
        QTextDocument document;
        document.setDefaultFont(PrintFont::withChineseFace(QFont(QStringLiteral("Arial"), 14)));
        document.setPlainText(text);
        document.print(&writer);
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
    PrinterDevice::setFactory([] { return std::make_unique<PdfPrinter>(); });
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
