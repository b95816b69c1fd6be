#include "platform/printer_device.h"
#include "report_engine/tqr_band.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_report.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Waits for the private scheduler to write the job's PDF.
QString WaitForOutput(const QString &path)
{
    for (int i = 0; i < 300; ++i) {
        QFile file(path);
        if (file.exists() && file.size() > 0) {
            QThread::msleep(500);  // let the writer finish the file
            return path;
        }
        QThread::msleep(100);
    }
    return {};
}

QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A report defined in report units, printed page by page on the system's
// default printer (a PDF printer of the private scheduler).
TEST(CupsPrinting, TwoA4PagesWithALineWhereItWasDrawn)
{
    const QString output = qEnvironmentVariable("RUVURED_CUPS_OUTPUT");
    ASSERT_FALSE(output.isEmpty()) << "run through ctest: the fixture starts the scheduler";

    TQRReport report;
    report.SetUnits(TQRUnit::MM);
    auto *detail = TQRControl::Create<TQRBand>(&report, rbDetail);
    detail->Size().SetHeight(50);
    report.SetUnits(TQRUnit::Native);
    EXPECT_EQ(report.Page().PaperSize(), TQRPaperSize::A4);
    EXPECT_NEAR(double(detail->Size().Height()), 500, 1e-9);

    TQRPrinter printer;
    ASSERT_TRUE(printer.PrinterAvailable());
    const auto device = PrinterDevice::create();
    EXPECT_EQ(device->printerNames().value(device->defaultPrinterIndex()), "ruvured-pdf");
    printer.OutputTarget = TQRPrinter::Printer;
    printer.SelectPrinter(-1);
    printer.SetPaperSize(report.Page().PaperSize());
    printer.SetOrientation(report.Page().Orientation());
    printer.DocumentTitle = "ruvured end-to-end";
    EXPECT_EQ(printer.PrinterPaperWidth(), 2100);
    EXPECT_EQ(printer.PrinterPaperLength(), 2970);
    printer.BeginDocument();
    for (int page = 1; page <= 2; ++page) {
        printer.StartNewPage();
        // A 1 mm thick rule across the printable width, 100 mm from the top on
        // page 1 and 200 mm on page 2.
        const Extended y = page * 1000;
        const Extended left = report.Page().LeftMargin();
        const Extended right = report.Page().Width() - report.Page().RightMargin();
        printer.PageCanvas().fillRect(QRect(QPoint(printer.ToDeviceX(left), printer.ToDeviceY(y)),
                                            QPoint(printer.ToDeviceX(right), printer.ToDeviceY(y + 10))),
                                      Qt::black);
    }
    printer.EndDocument();

    ASSERT_FALSE(WaitForOutput(output).isEmpty()) << "no PDF came out of the printer";
    const QString info = RunTool("pdfinfo", {output});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts")))
        << info.toStdString();

    // At 254 dots per inch one dot is one report unit: rows are report units from the paper's top.
    QTemporaryDir images;
    RunTool("pdftoppm", {"-r", "254", "-gray", "-png", output, images.filePath("page")});
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        const QImage image(images.filePath(QString("page-%1.png").arg(page)));
        ASSERT_FALSE(image.isNull());
        EXPECT_NEAR(image.width(), 2100, 2);
        const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
        const int rule = page * 1000 + 5;
        EXPECT_TRUE(dark(1050, rule));
        EXPECT_TRUE(dark(150, rule));
        EXPECT_FALSE(dark(50, rule));  // the left margin stays white
        EXPECT_FALSE(dark(1050, rule - 20));
        EXPECT_FALSE(dark(1050, rule + 20));
        EXPECT_FALSE(dark(1050, (3 - page) * 1000 + 5));  // the other page's rule is not here
    }
}

}  // namespace
