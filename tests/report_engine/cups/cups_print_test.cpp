#include "failure_text.h"
#include "platform/printing/printer_device.h"
#include "report_engine/tqr_band.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_report.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cups/cups.h>
#include <gtest/gtest.h>

// End to end on a private CUPS scheduler (tests/report_engine/cups/start.sh):
// what comes out of each kind of queue, and what the printer object says
// when nothing does.
namespace {

QString Handle()
{
    return qEnvironmentVariable("RUVURED_CUPS");
}

struct Jobs {
    int all = 0;
    int active = 0;
    int lastId = 0;
    int lastState = 0;
};

Jobs JobsOf(const QString &queue)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    Jobs result;
    for (int i = 0; i < count; ++i) {
        ++result.all;
        if (jobs[i].state < IPP_JSTATE_STOPPED)
            ++result.active;
        if (jobs[i].id > result.lastId) {
            result.lastId = jobs[i].id;
            result.lastState = jobs[i].state;
        }
    }
    cupsFreeJobs(count, jobs);
    return result;
}

// The "sides" the scheduler recorded for a job.
QString SidesOf(int job)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                 QByteArray("ipp://localhost/jobs/" + QByteArray::number(job)).constData());
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t *sides = ippFindAttribute(response, "sides", IPP_TAG_KEYWORD);
    const QString text = sides ? QString::fromUtf8(ippGetString(sides, 0, nullptr)) : QString();
    ippDelete(response);
    return text;
}

// Polls until `done` holds; false after a minute.
bool WaitFor(const std::function<bool()> &done)
{
    QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every PDF the queue's printer has written so far: the file printers write
// out/QUEUE.pdf, the IPP printer keeps each document in ipp/.
QStringList OutputsOf(const QString &queue)
{
    if (queue == "ruvured-ipp") {
        QDir kept(Handle() + "/ipp");
        QStringList paths;
        for (const QString &name : kept.entryList({"*.pdf"}, QDir::Files, QDir::Name))
            paths.append(kept.filePath(name));
        return paths;
    }
    const QString path = Handle() + "/out/" + queue + ".pdf";
    return QFile::exists(path) ? QStringList{path} : QStringList{};
}

void ForgetOutputs(const QString &queue)
{
    for (const QString &path : OutputsOf(queue))
        QFile::remove(path);
}

int IndexOf(const QString &queue)
{
    return PrinterDevice::create()->printerNames().indexOf(queue);
}

// 1 mm thick rules from 10 mm to 200 mm across, 100 mm down on page 1 and
// 200 mm down on page 2; Y is where the report draws a rule, in report units.
void DrawRule(TQRPrinter &printer, Extended y)
{
    printer.PageCanvas().fillRect(QRect(QPoint(printer.ToDeviceX(100), printer.ToDeviceY(y)),
                                        QPoint(printer.ToDeviceX(2000) - 1, printer.ToDeviceY(y + 10) - 1)),
                                  Qt::black);
}

// A two-page A4 report on `queue`, drawn as the engine draws, with Chinese
// text on its last page; the printer object is left open for the caller to
// end or abort.
void BeginReport(TQRPrinter &printer, const QString &queue, int pages = 2)
{
    printer.OutputTarget = TQRPrinter::Printer;
    printer.SelectPrinter(IndexOf(queue));
    printer.SetPaperSize(TQRPaperSize::A4);
    printer.DocumentTitle = "ruvured " + queue;
    printer.BeginDocument();
    for (int page = 1; page <= pages; ++page) {
        printer.StartNewPage();
        DrawRule(printer, page * 1000);
    }
    // Chinese text in the report's font, in a box 20 mm below the top edge.
    QFont font = TQRReport().Font();
    font.setPointSize(14);
    printer.PageCanvas().setFont(font);
    printer.PageCanvas().drawText(QRect(QPoint(printer.ToDeviceX(100), printer.ToDeviceY(200)),
                                        QPoint(printer.ToDeviceX(600), printer.ToDeviceY(400))),
                                  Qt::AlignLeft | Qt::AlignTop, QStringLiteral("骨直"));
}

double Millimetres(const QString &points)
{
    return points.toDouble() * 25.4 / 72;
}

// Page size of every page and where the rules landed, at 0.1 mm per pixel.
void ExpectA4WithRules(const QString &pdf, int pages)
{
    SCOPED_TRACE(pdf.toStdString());
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", QString::number(pages), pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QString("Pages:\\s+%1\\b").arg(pages)))) << info.toStdString();
    const QRegularExpression sizeLine("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts");
    int sized = 0;
    for (auto it = sizeLine.globalMatch(info); it.hasNext(); ++sized) {
        const auto match = it.next();
        EXPECT_NEAR(Millimetres(match.captured(1)), 210, 0.2);
        EXPECT_NEAR(Millimetres(match.captured(2)), 297, 0.2);
    }
    EXPECT_EQ(sized, pages);
    const QString fonts = RunTool("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains("NotoSansCJKsc")) << "Chinese in its Simplified Chinese forms\n" << fonts.toStdString();
    EXPECT_FALSE(fonts.contains("NotoSansCJKjp")) << fonts.toStdString();

    QTemporaryDir images;
    RunTool("pdftoppm", {"-r", "254", "-gray", "-png", pdf, images.filePath("page")});
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        const QImage image(images.filePath(QString("page-%1.png").arg(page)));
        ASSERT_FALSE(image.isNull());
        const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
        const auto firstDark = [&](int fromX, int fromY, int dx, int dy) {
            for (int x = fromX, y = fromY; x >= 0 && y >= 0 && x < image.width() && y < image.height();
                 x += dx, y += dy) {
                if (dark(x, y))
                    return dx ? x : y;
            }
            return -1;
        };
        const int top = page * 1000;
        EXPECT_NEAR(firstDark(1050, top - 100, 0, 1), top, 1);     // upper edge
        EXPECT_NEAR(firstDark(1050, top + 100, 0, -1), top + 9, 1);  // lower edge
        EXPECT_NEAR(firstDark(0, top + 5, 1, 0), 100, 1);            // left end
        EXPECT_NEAR(firstDark(image.width() - 1, top + 5, -1, 0), 1999, 1);
        if (pages > 1)
            EXPECT_FALSE(dark(1050, (3 - page) * 1000 + 5)) << "one rule a page";
        int text = 0;  // dark pixels of the text box
        for (int y = 200; y < 400; ++y) {
            for (int x = 100; x < 600; ++x)
                text += dark(x, y);
        }
        EXPECT_EQ(text > 500, page == pages) << "the text is on the last page only";
    }
}

class CupsPrinting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(Handle().isEmpty()) << "run through ctest: the fixture starts the scheduler"; }
};

TEST_F(CupsPrinting, TheDefaultQueueGivesTheReportItsPaper)
{
    TQRReport report;
    EXPECT_EQ(report.Page().PaperSize(), TQRPaperSize::A4);
    const auto device = PrinterDevice::create();
    EXPECT_EQ(device->printerNames().value(device->defaultPrinterIndex()), "ruvured-pdf");
    EXPECT_TRUE(device->serviceReachable());
    TQRPrinter printer;
    EXPECT_TRUE(printer.PrinterAvailable());
    EXPECT_TRUE(printer.SpoolerReachable());
}

// What each queue reports, and what comes out of it for an A4 report.
TEST_F(CupsPrinting, EachKindOfQueuePrintsTheReportOnA4)
{
    struct Queue {
        const char *name;
        TQRPaperSize paper;  // the queue's default
        int width, length;   // report units
        int dotsPerInch;
        int left, top;       // unprintable edge of A4 on the queue, report units
        bool duplex;
        const char *sides;   // what the job asks for
    };
    const Queue queues[] = {
        {"ruvured-pdf", TQRPaperSize::A4, 2100, 2970, 300, 0, 0, false, "one-sided"},
        {"ruvured-letter", TQRPaperSize::Letter, 2159, 2794, 300, 0, 0, false, "one-sided"},
        {"ruvured-long-edge", TQRPaperSize::A4, 2100, 2970, 300, 0, 0, true, "two-sided-long-edge"},
        {"ruvured-short-edge", TQRPaperSize::A4, 2100, 2970, 300, 0, 0, true, "two-sided-short-edge"},
        // Without PPD everything comes from the driverless printer: Letter by
        // default, 600 dpi, and A4 with 3.4 mm unprintable at the sides and
        // 6.35 mm at the top, unlike Letter's 6.35 mm all round.
        {"ruvured-ipp", TQRPaperSize::Letter, 2159, 2794, 600, 34, 64, false, "one-sided"},
    };
    for (const Queue &q : queues) {
        SCOPED_TRACE(q.name);
        ForgetOutputs(q.name);
        const Jobs before = JobsOf(q.name);
        TQRPrinter printer;
        printer.SelectPrinter(IndexOf(q.name));
        EXPECT_EQ(printer.PrinterPaperSize(), q.paper);
        EXPECT_EQ(printer.PrinterPaperWidth(), q.width);
        EXPECT_EQ(printer.PrinterPaperLength(), q.length);
        EXPECT_EQ(printer.DeviceSettings().Duplex(), q.duplex);
        EXPECT_TRUE(printer.DeviceSettings().Supported(TQRPaperSize::A4));
        EXPECT_EQ(printer.DeviceSettings().PixelsPerInchX(), q.dotsPerInch);

        int printed = 0;
        printer.OnDocumentPrinted = [&] { ++printed; };
        BeginReport(printer, q.name);
        EXPECT_EQ(printer.UnprintableLeft(), q.left);
        EXPECT_EQ(printer.UnprintableTop(), q.top);
        EXPECT_DOUBLE_EQ(double(printer.DotsPerUnitX()), q.dotsPerInch / 254.0);
        printer.EndDocument();
        EXPECT_EQ(printed, 1);

        ASSERT_TRUE(WaitFor([&] {
            const Jobs now = JobsOf(q.name);
            return now.all == before.all + 1 && now.active == 0 && !OutputsOf(q.name).isEmpty();
        })) << "no job came out of the printer";
        const Jobs after = JobsOf(q.name);
        EXPECT_EQ(after.lastState, IPP_JSTATE_COMPLETED);
        EXPECT_EQ(SidesOf(after.lastId), q.sides);
        const QStringList outputs = OutputsOf(q.name);
        ASSERT_EQ(outputs.size(), 1);
        ExpectA4WithRules(outputs.first(), 2);
    }
}

// An aborted run, or one whose printer object goes with the job open, leaves
// nothing in the queue and nothing on paper.
TEST_F(CupsPrinting, AbortedReportsNeverReachTheQueue)
{
    for (const char *queue : {"ruvured-pdf", "ruvured-ipp", "ruvured-long-edge"}) {
        SCOPED_TRACE(queue);
        ForgetOutputs(queue);
        const Jobs before = JobsOf(queue);
        {
            TQRPrinter printer;
            BeginReport(printer, queue);
            printer.AbortDocument();
            EXPECT_EQ(printer.OutputState(), TQRPrinter::Finished);
        }
        {
            TQRPrinter printer;
            BeginReport(printer, queue);
        }
        EXPECT_EQ(JobsOf(queue).all, before.all);
        EXPECT_TRUE(OutputsOf(queue).isEmpty());
    }
}

// A report the queue does not take fails with the scheduler's reason; it is
// never reported printed and leaves no job behind.
TEST_F(CupsPrinting, AReportThatIsNotTakenFailsWithTheReason)
{
    struct Case {
        const char *queue;
        std::function<void()> whileDrawing;
        const char *reason;  // in the operator's message
    };
    const Case cases[] = {
        {"ruvured-reject", [] {}, "not accepting jobs"},
        {"ruvured-disabled", [] {}, "stopped for the test"},
        {"ruvured-gone", [] { RunTool("lpadmin", {"-x", "ruvured-gone"}); }, "does not exist"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.queue);
        ForgetOutputs(c.queue);
        const Jobs before = JobsOf(c.queue);
        TQRPrinter printer;
        int printed = 0;
        printer.OnDocumentPrinted = [&] { ++printed; };
        BeginReport(printer, c.queue, 1);
        c.whileDrawing();
        const QString message = failureOf([&] { printer.EndDocument(); });
        EXPECT_TRUE(message.contains(c.queue)) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        EXPECT_TRUE(message.contains("报告没有打印")) << message.toStdString();
        EXPECT_EQ(printed, 0);
        EXPECT_EQ(printer.OutputState(), TQRPrinter::Finished);
        EXPECT_EQ(JobsOf(c.queue).all, before.all);
        EXPECT_TRUE(OutputsOf(c.queue).isEmpty());
    }
}

TEST_F(CupsPrinting, ASchedulerThatDoesNotAnswerIsNotNoPrinter)
{
    const QTemporaryDir nowhere;
    cupsSetServer(nowhere.filePath("cups.sock").toUtf8().constData());
    TQRPrinter printer;
    const bool available = printer.PrinterAvailable();
    const bool reachable = printer.SpoolerReachable();
    cupsSetServer(nullptr);  // back to the private scheduler
    EXPECT_FALSE(available);
    EXPECT_FALSE(reachable);
    EXPECT_TRUE(TQRPrinter().PrinterAvailable());
}

}  // namespace
