#include "doubles/recording_printer.h"
#include "report_engine/eqr_error.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_printer_message.h"
#include "report_engine/tqr_progress_form.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PrinterTest : public ::testing::Test {
protected:
    PrinterTest() { RecordingPrinter::install(recording); }
    ~PrinterTest() override { RecordingPrinter::install(std::make_shared<PrinterRecording>()); }

    // Prints `pages` pages, each marked by a rectangle as wide as its number.
    void PrintPages(TQRPrinter &printer, int pages)
    {
        printer.OutputTarget = TQRPrinter::Printer;
        printer.SelectPrinter(-1);
        printer.BeginDocument();
        for (int page = 1; page <= pages; ++page) {
            printer.StartNewPage();
            printer.PageCanvas().drawRect(QRect(0, 0, page, 1));
        }
        printer.EndDocument();
    }

    std::shared_ptr<PrinterRecording> recording = std::make_shared<PrinterRecording>();
};

TEST_F(PrinterTest, PageRangeSendsOnlyItsPagesInOneJob)
{
    TQRPrinter printer;
    printer.FirstPage = 2;
    printer.LastPage = 3;
    PrintPages(printer, 4);
    ASSERT_EQ(recording->pages.size(), 2u);
    EXPECT_EQ(recording->pages[0].at(0).rect.width(), 2);
    EXPECT_EQ(recording->pages[1].at(0).rect.width(), 3);
    EXPECT_EQ(recording->jobs.size(), 1);
    EXPECT_EQ(recording->jobsEnded, 1);
    EXPECT_EQ(printer.PagesFinished(), 4);
}

TEST_F(PrinterTest, FirstPagePastTheEndOpensNoJobButReportsPrinted)
{
    TQRPrinter printer;
    int printed = 0;
    printer.OnDocumentPrinted = [&] { ++printed; };
    printer.FirstPage = 5;
    PrintPages(printer, 4);
    EXPECT_TRUE(recording->jobs.isEmpty());
    EXPECT_TRUE(recording->pages.empty());
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(printer.OutputState(), TQRPrinter::Finished);
}

TEST_F(PrinterTest, DiscardedPagesDrawAtScreenResolution)
{
    TQRPrinter printer;
    printer.FirstPage = 2;
    printer.OutputTarget = TQRPrinter::Printer;
    printer.BeginDocument();
    printer.StartNewPage();
    EXPECT_DOUBLE_EQ(double(printer.DotsPerUnitX()), ScreenPixelsPerInch() / 254.0);
    printer.StartNewPage();
    EXPECT_DOUBLE_EQ(double(printer.DotsPerUnitX()), 600 / 254.0);
    printer.EndDocument();
}

TEST_F(PrinterTest, UnprintableMarginShiftsDevicePositions)
{
    recording->measurements = {300, 300, 2480, 3508, 50, 50};
    TQRPrinter printer;
    printer.OutputTarget = TQRPrinter::Printer;
    printer.BeginDocument();
    EXPECT_EQ(printer.UnprintableLeft(), 42);
    EXPECT_EQ(printer.UnprintableTop(), 42);
    EXPECT_EQ(printer.ToDeviceX(100), 69);
    EXPECT_EQ(printer.ToDeviceY(42), 0);
    EXPECT_EQ(printer.ToDeviceWidth(2100), 2480);
    EXPECT_EQ(printer.ToDeviceHeight(2970), 3508);
}

TEST_F(PrinterTest, DocumentStepsOutOfOrderFail)
{
    TQRPrinter printer;
    try {
        printer.StartNewPage();
        FAIL() << "a page outside a document";
    } catch (const EQRError &error) {
        EXPECT_EQ(error.message(), "Illegal call to NewPage");
    }
    printer.OutputTarget = TQRPrinter::Printer;
    printer.SetCopies(2);
    printer.BeginDocument();
    printer.EndDocument();
    recording->lastWritten = DeviceMode();
    try {
        printer.BeginDocument();
        FAIL() << "a second document on one printer object";
    } catch (const Failure &error) {
        EXPECT_EQ(error.message(), "QRPrinter not ready");
    }
    EXPECT_EQ(recording->lastWritten.copies, 2);  // the settings went out first
    EXPECT_THROW(printer.StartNewPage(), EQRError);
}

TEST_F(PrinterTest, WrittenSettingsKeepDeviceBitsAndTheDevicesOwnTwoSidedEdge)
{
    // A long-edge printer given the short edge prints every back page upside down.
    struct Case { short deviceDuplex; bool duplex; short written; };
    for (const Case c : {Case{1, false, 1}, Case{2, true, 2}, Case{3, true, 3}}) {
        SCOPED_TRACE(c.deviceDuplex);
        recording->defaults.duplex = c.deviceDuplex;
        recording->defaults.defaultSource = 256 | 7;
        TQRPrinter printer;
        PrintPages(printer, 1);
        EXPECT_EQ(printer.DeviceSettings().Duplex(), c.duplex);
        EXPECT_EQ(printer.DeviceSettings().OutputBin(), TQRBin::First);  // 263 is no bin of ours
        EXPECT_EQ(recording->lastWritten.duplex, c.written);
        EXPECT_EQ(recording->lastWritten.defaultSource, 1 | 256);
    }

    TQRPrinter automatic;
    automatic.SelectPrinter(-1);
    automatic.SetOutputBin(TQRBin::Auto);
    automatic.SetOrientation(poLandscape);
    automatic.OutputTarget = TQRPrinter::Printer;
    automatic.BeginDocument();
    EXPECT_EQ(recording->lastWritten.defaultSource, 263);
    EXPECT_EQ(recording->lastWritten.orientation, 2);
    EXPECT_EQ(recording->lastWritten.paperSize, 9);
    EXPECT_TRUE(recording->lastWritten.fields & DeviceMode::DM_COPIES);
}

TEST_F(PrinterTest, ARefusedJobFailsAndIsNotReportedPrinted)
{
    recording->refusal = "not accepting jobs";
    TQRPrinter printer;
    int printed = 0;
    printer.OnDocumentPrinted = [&] { ++printed; };
    try {
        PrintPages(printer, 2);
        FAIL() << "a refused job passed for printed";
    } catch (const Failure &error) {
        EXPECT_EQ(error.message(), "not accepting jobs");
    }
    EXPECT_EQ(printed, 0);
    EXPECT_EQ(printer.OutputState(), TQRPrinter::Finished);
    EXPECT_EQ(recording->jobsEnded, 0);
}

TEST_F(PrinterTest, AnAbandonedRunSendsNothing)
{
    {
        TQRPrinter printer;
        printer.OutputTarget = TQRPrinter::Printer;
        printer.BeginDocument();
        printer.StartNewPage();
    }  // destroyed with its job open
    EXPECT_EQ(recording->jobsAborted, 1);
    EXPECT_EQ(recording->jobsEnded, 0);

    TQRPrinter printer;
    printer.OutputTarget = TQRPrinter::Printer;
    printer.BeginDocument();
    printer.StartNewPage();
    printer.AbortDocument();
    EXPECT_EQ(recording->jobsAborted, 2);
    EXPECT_EQ(printer.OutputState(), TQRPrinter::Finished);
    EXPECT_THROW(printer.AbortDocument(), Failure);  // no job open any more
}

TEST_F(PrinterTest, UnsupportedRequestsLeaveTheDeviceValues)
{
    recording->paperCodes = {1};
    recording->defaults.paperSize = 1;
    recording->defaults.fields = DeviceMode::DM_PAPERSIZE;  // no copies, bins or orientation
    TQRPrinter printer;
    printer.SetPaperSize(TQRPaperSize::A4);
    printer.SetCopies(3);
    printer.SetOutputBin(TQRBin::Manual);
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.PrinterPaperSize(), TQRPaperSize::Letter);
    EXPECT_EQ(printer.PrinterPaperWidth(), 2159);
    EXPECT_EQ(printer.PrinterPaperLength(), 2794);
    EXPECT_EQ(printer.DeviceSettings().Copies(), 1);
    EXPECT_EQ(printer.DeviceSettings().OutputBin(), TQRBin::First);
    EXPECT_EQ(printer.DeviceSettings().Orientation(), poPortrait);
    printer.SetPaperWidth(1000);  // only a Custom paper takes a width
    EXPECT_EQ(printer.PrinterPaperWidth(), 2159);
    printer.SetPaperSize(TQRPaperSize::Custom);
    printer.SetPaperWidth(1000);
    EXPECT_EQ(printer.PrinterPaperWidth(), 1000);
}

TEST_F(PrinterTest, PaperWithoutANameIsMeasuredOnTheDevice)
{
    recording->defaults.paperSize = 70;  // a paper code of the device's own
    recording->measurements = {300, 300, 1240, 1754, 0, 0};
    TQRPrinter printer;
    EXPECT_EQ(printer.PrinterPaperSize(), TQRPaperSize::Default);
    EXPECT_EQ(printer.PrinterPaperWidth(), 1050);
    EXPECT_EQ(printer.PrinterPaperLength(), 1485);
}

TEST_F(PrinterTest, NoPrinterInstalledIsToldApartFromNoSpooler)
{
    for (const bool reachable : {true, false}) {
        SCOPED_TRACE(reachable);
        recording->printers.clear();
        recording->defaultIndex = -1;
        recording->serviceReachable = reachable;
        TQRPrinter printer;
        EXPECT_FALSE(printer.PrinterAvailable());
        EXPECT_EQ(printer.SpoolerReachable(), reachable);
        printer.SelectPrinter(-1);  // does nothing, throws nothing
        EXPECT_EQ(printer.PrinterPaperSize(), TQRPaperSize::A4);
        EXPECT_TRUE(printer.DeviceSettings().DeviceName().isEmpty());
    }
}

TEST_F(PrinterTest, PrintersWithoutADefaultPassThePlatformErrorOn)
{
    recording->printers = {"One", "Two"};
    recording->defaultIndex = -1;
    recording->driver = "/usr/lib/drivers/" + QString(80, 'd');
    TQRPrinter printer;
    ASSERT_TRUE(printer.PrinterAvailable());
    EXPECT_EQ(printer.DeviceSettings().DriverName(), QString(63, 'd'));
    try {
        printer.SelectPrinter(-1);
        FAIL();
    } catch (const Failure &error) {
        EXPECT_EQ(error.message(), "There is no default printer currently selected");
    }
    printer.SelectPrinter(1);
    EXPECT_EQ(printer.DeviceSettings().DeviceName(), "Two");
}

TEST_F(PrinterTest, ProgressWindowShowsOnlyMultiplesOfFive)
{
    TQRPrinter printer;
    TQRProgressForm form(&printer);
    printer.ProgressClient = &form;
    EXPECT_EQ(form.windowTitle(), "Printing progress");
    struct Step { int percent; int gauge; const char *info; };
    for (const Step s : {Step{42, 0, ""}, Step{43, 0, ""}, Step{45, 45, "45%  Completed"}}) {
        printer.ReportProgress(s.percent);
        QCoreApplication::sendPostedEvents(&form, TQRPrinterMessage::Progress);
        EXPECT_EQ(form.Gauge->value(), s.gauge) << s.percent;
        EXPECT_EQ(form.Info->text(), s.info) << s.percent;
    }
    // A late message shows the value the printer object holds now.
    printer.ReportProgress(50);
    printer.ReportProgress(51);
    QCoreApplication::sendPostedEvents(&form, TQRPrinterMessage::Progress);
    EXPECT_EQ(form.Gauge->value(), 45);

    EXPECT_FALSE(printer.CancelRequested());
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(printer.CancelRequested());
}

}  // namespace
