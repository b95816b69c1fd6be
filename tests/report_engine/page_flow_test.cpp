#include "platform/core/failure.h"
#include "doubles/recording_printer.h"
#include "report_engine/eqr_error.h"
#include "report_engine/tqr_child_band.h"
#include "report_engine/tqr_print_run.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_progress_form.h"
#include "failure_text.h"
#include "sample_report.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

// One band output as the band saw it when it had printed.
struct Output {
    QString band;
    int page;
    int deviceTop;  // top of the band's area on the page, device dots
    int posYAfter;  // report units
    bool operator==(const Output &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Output &o)
{
    return out << o.band.toStdString() << " p" << o.page << " top " << o.deviceTop << " -> " << o.posYAfter;
}

// Stands for an element that needs `stepsNeeded` growth steps of 50 beyond its box:
// it takes what its band grants on each page and completes once it has had them all.
class StretchingElement : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    int stepsNeeded = 0;

    void PrintAt(int, int) override
    {
        Extended granted = 0;
        bool alreadyGrown = false;
        while (stepsNeeded > 0 && ParentBand()->CanGrow(50)) {
            ParentBand()->GrowBand(50, granted, alreadyGrown);
            --stepsNeeded;
        }
        SetPrintComplete(stepsNeeded == 0);
    }
};

class ThrowingElement : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    bool armed = true;
    void PrintAt(int, int) override
    {
        if (armed)
            throw Failure(QStringLiteral("元素出错"));
    }
};

int ProgressWindows()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += dynamic_cast<TQRProgressForm *>(widget) != nullptr;
    return count;
}

class PageFlowTest : public ::testing::Test {
protected:
    PageFlowTest() { RecordingPrinter::install(recording); }
    ~PageFlowTest() override { RecordingPrinter::install(std::make_shared<PrinterRecording>()); }

    // Records every band's output of `r`.
    // A band that did not print reports an empty area.
    void Watch(SampleReport &r)
    {
        WatchBand(r, r.PageHeaderBand1, "header");
        WatchBand(r, r.TitleBand1, "title");
        WatchBand(r, r.DetailBand1, "detail");
        WatchBand(r, r.PageFooterBand1, "footer");
    }
    void WatchBand(SampleReport &r, TQRCustomBand *band, const QString &name)
    {
        band->AfterPrint = [this, &r, name](TQRCustomBand *sender, bool) {
            outputs.push_back({name, r.Run()->PagesOpened(), sender->BandRect().top(), r.Run()->PosY()});
            lefts.push_back(sender->BandRect().left());
        };
    }

    std::shared_ptr<PrinterRecording> recording = std::make_shared<PrinterRecording>();
    std::vector<Output> outputs;
    std::vector<int> lefts;  // device dots, one per output
};

TEST_F(PageFlowTest, WorkedRunPlacesEveryBandAtItsPosition)
{
    struct Case { DeviceMeasurements device; int header, title, detail, footer; };
    const Case cases[] = {
        {{600, 600, 4961, 7016, 0, 0}, 236, 806, 1106, 6380},
        // 50 dots of unprintable margin at 300 dpi: 42 report units come off every position.
        {{300, 300, 2480, 3508, 50, 50}, 69, 353, 503, 3141},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.device.logPixelsX);
        *recording = PrinterRecording();
        recording->measurements = c.device;
        outputs.clear();
        SampleReport report;
        Watch(report);
        report.PrintToPrinter();
        const std::vector<Output> expected = {{"header", 1, c.header, 341},
                                              {"title", 1, c.title, 468},
                                              {"detail", 1, c.detail, 2690},
                                              {"footer", 1, c.footer, 2870}};
        EXPECT_EQ(outputs, expected);
        EXPECT_EQ(recording->pages.size(), 1u);
        EXPECT_EQ(recording->jobsEnded, 1);
    }
}

TEST_F(PageFlowTest, UnfinishedDetailContinuesBelowThePageHeaderOfPageTwo)
{
    struct Device { DeviceMeasurements measurements; int header, title, footer; };
    const Device devices[] = {{{600, 600, 4961, 7016, 0, 0}, 236, 806, 6380},
                              {{300, 300, 2480, 3508, 50, 50}, 69, 353, 3141}};
    for (const Device &d : devices) {
        SCOPED_TRACE(d.measurements.logPixelsX);
        struct Case { int stepsNeeded; std::vector<Output> expected; };
        const Case cases[] = {
            // Page 1 has no room to grow (2233 < 2272); page 2 grants two steps of 50.
            {2, {{"header", 1, d.header, 341}, {"title", 1, d.title, 468}, {"footer", 1, d.footer, 2870},
                 {"header", 2, d.header, 341}, {"detail", 2, d.title, 2663}, {"footer", 2, d.footer, 2870}}},
            {3, {{"header", 1, d.header, 341}, {"title", 1, d.title, 468}, {"footer", 1, d.footer, 2870},
                 {"header", 2, d.header, 341}, {"footer", 2, d.footer, 2870},
                 {"header", 3, d.header, 341}, {"detail", 3, d.title, 2613}, {"footer", 3, d.footer, 2870}}},
        };
        for (const Case &c : cases) {
            SCOPED_TRACE(c.stepsNeeded);
            *recording = PrinterRecording();
            recording->measurements = d.measurements;
            outputs.clear();
            SampleReport report;
            auto *element = TQRControl::Create<StretchingElement>(report.DetailBand1, 96);
            element->stepsNeeded = c.stepsNeeded;
            Watch(report);
            report.PrintToPrinter();
            EXPECT_EQ(outputs, c.expected);
            EXPECT_EQ(recording->pages.size(), std::size_t(c.stepsNeeded));
        }
    }
}

TEST_F(PageFlowTest, OptionsAndBreaksMoveTheBands)
{
    struct Case {
        const char *name;
        std::function<void(SampleReport &)> set;
        std::vector<Output> expected;
    };
    const Case cases[] = {
        {"no header on page 1", [](SampleReport &r) { r.Options = LastPageFooter; },
         {{"title", 1, 236, 227}, {"detail", 1, 536, 2449}, {"footer", 1, 6380, 2870}}},
        // The reserve stays free on the last page, without the footer.
        {"no footer on the last page", [](SampleReport &r) { r.Options = FirstPageHeader; },
         {{"header", 1, 236, 341}, {"title", 1, 806, 468}, {"detail", 1, 1106, 2690}}},
        // No page is open yet when the first band asks for a new one.
        {"new page on the first band",
         [](SampleReport &r) {
             r.TitleBand1->Enabled = false;
             r.DetailBand1->ForceNewPage = true;
         },
         {{"title", 0, 0, -1}, {"header", 1, 236, 341}, {"detail", 1, 806, 2563}, {"footer", 1, 6380, 2870}}},
        {"a band exactly as high as the room left stays",
         [](SampleReport &r) { r.DetailBand1->Size().SetHeight(2233); },
         {{"header", 1, 236, 341}, {"title", 1, 806, 468}, {"detail", 1, 1106, 2701}, {"footer", 1, 6380, 2870}}},
        {"one unit more goes to the next page",
         [](SampleReport &r) { r.DetailBand1->Size().SetHeight(2234); },
         {{"header", 1, 236, 341}, {"title", 1, 806, 468}, {"footer", 1, 6380, 2870},
          {"header", 2, 236, 341}, {"detail", 2, 806, 2575}, {"footer", 2, 6380, 2870}}},
        // A disabled band at the bottom still moves the position down.
        {"disabled band aligned to the bottom",
         [](SampleReport &r) {
             r.TitleBand1->AlignToBottom = true;
             r.TitleBand1->Enabled = false;
         },
         {{"title", 0, 0, 2574}, {"header", 1, 236, 341}, {"detail", 1, 806, 2563}, {"footer", 1, 6380, 2870}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        outputs.clear();
        SampleReport report;
        report.SetUnits(TQRUnit::Native);
        c.set(report);
        Watch(report);
        report.PrintToPrinter();
        EXPECT_EQ(outputs, c.expected);
    }
}

TEST_F(PageFlowTest, TwoColumnsFillDownThenAcross)
{
    SampleReport report;
    report.SetUnits(TQRUnit::Native);
    report.Page().SetColumns(2);
    report.DetailBand1->Size().SetHeight(1000);
    int rows = 0;
    QStringList columns;
    report.OnNeedData = [&](TQRCustomReport *r, bool &more) {
        more = rows < 5;
        columns << r->Functions["COLUMNNUMBER"];
    };
    Watch(report);
    report.DetailBand1->AfterPrint = [&](TQRCustomBand *sender, bool) {
        ++rows;
        outputs.push_back({"detail", report.Run()->PagesOpened(), sender->BandRect().top(), report.Run()->PosY()});
        lefts.push_back(sender->BandRect().left());
    };
    report.PrintToPrinter();
    // A column is 359 of the 718 pixels, 949.85 report units: column 2 starts at 100 + 950.
    const std::vector<Output> expected = {
        {"header", 1, 236, 341}, {"title", 1, 806, 468},
        {"detail", 1, 1106, 1468}, {"detail", 1, 3468, 2468},
        {"detail", 1, 1106, 1468}, {"detail", 1, 3468, 2468},
        {"footer", 1, 6380, 2870},
        {"header", 2, 236, 341}, {"detail", 2, 806, 1341}, {"footer", 2, 6380, 2870}};
    EXPECT_EQ(outputs, expected);
    EXPECT_EQ(lefts, (std::vector<int>{236, 236, 236, 236, 2480, 2480, 236, 236, 236, 236}));
    // The first row is asked for before page 1 opens.
    EXPECT_EQ(columns, QStringList({"0", "1", "1", "2", "2", "1"}));
}

TEST_F(PageFlowTest, AChildBandFollowsItsParent)
{
    SampleReport report;
    report.SetUnits(TQRUnit::Native);
    auto *child = TQRControl::Create<TQRChildBand>(&report, 96);
    child->SetParentBand(report.PageHeaderBand1);
    child->Size().SetHeight(10);
    Watch(report);
    WatchBand(report, child, "child");
    report.PrintToPrinter();
    const std::vector<Output> expected = {{"header", 1, 236, 341}, {"child", 1, 806, 351}, {"title", 1, 829, 478},
                                          {"detail", 1, 1129, 2700}, {"footer", 1, 6380, 2870}};
    EXPECT_EQ(outputs, expected);
}

TEST_F(PageFlowTest, EventsFireInRunOrder)
{
    SampleReport report;
    QStringList events;
    report.BeforePrint = [&](TQRCustomReport *, bool &) { events << "report BeforePrint"; };
    report.OnStartPage = [&](TQRCustomReport *r) { events << QString("OnStartPage %1").arg(r->Functions["PAGENUMBER"]); };
    report.OnEndPage = [&](TQRCustomReport *) { events << "OnEndPage"; };
    report.AfterPrint = [&](TQRCustomReport *) { events << "report AfterPrint"; };
    for (auto *band : {report.PageHeaderBand1, report.TitleBand1, report.DetailBand1, report.PageFooterBand1}) {
        const QString name = band == report.PageHeaderBand1 ? "header"
                             : band == report.TitleBand1    ? "title"
                             : band == report.DetailBand1   ? "detail"
                                                            : "footer";
        band->BeforePrint = [&events, name](TQRCustomBand *, bool &) { events << name + " BeforePrint"; };
        band->AfterPrint = [&events, name](TQRCustomBand *, bool) { events << name + " AfterPrint"; };
    }
    report.PrintToPrinter();
    // The title's BeforePrint comes before the page it opens.
    EXPECT_EQ(events, QStringList({"report BeforePrint", "title BeforePrint", "OnStartPage 1", "header BeforePrint",
                                   "header AfterPrint", "title AfterPrint", "detail BeforePrint", "detail AfterPrint",
                                   "footer BeforePrint", "footer AfterPrint", "OnEndPage", "report AfterPrint"}));
    EXPECT_EQ(report.Functions["COLUMNNUMBER"], "1");
}

TEST_F(PageFlowTest, RunsThatPrintNoPage)
{
    struct Case { const char *name; bool printIfEmpty; bool refuse; int afterPrint; int jobs; };
    const Case cases[] = {
        // No data and PrintIfEmpty off: an empty document is begun and ended.
        {"print-if-empty off", false, false, 1, 0},
        // BeforePrint says no: nothing begins, no event follows.
        {"BeforePrint refuses", true, true, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SampleReport report;
        report.SetPrintIfEmpty(c.printIfEmpty);
        int afterPrint = 0;
        int startPage = 0;
        report.BeforePrint = [&](TQRCustomReport *, bool &print) { print = !c.refuse; };
        report.OnStartPage = [&](TQRCustomReport *) { ++startPage; };
        report.AfterPrint = [&](TQRCustomReport *) { ++afterPrint; };
        report.PrintToPrinter();
        EXPECT_EQ(afterPrint, c.afterPrint);
        EXPECT_EQ(startPage, 0);
        EXPECT_EQ(recording->jobs.size(), c.jobs);
        EXPECT_FALSE(report.RunActive());
    }
    EXPECT_TRUE(recording->pages.empty());
}

TEST_F(PageFlowTest, MarginsWiderThanThePageBecomeZeroAndStay)
{
    SampleReport report;
    report.SetUnits(TQRUnit::Native);
    report.Page().SetLeftMargin(1200);
    report.Page().SetRightMargin(1000);
    report.Page().SetTopMargin(1500);
    report.Page().SetBottomMargin(1500);
    Watch(report);
    report.PrintToPrinter();
    EXPECT_EQ(double(report.Page().LeftMargin()), 0);
    EXPECT_EQ(double(report.Page().RightMargin()), 0);
    EXPECT_EQ(double(report.Page().TopMargin()), 0);
    EXPECT_EQ(double(report.Page().BottomMargin()), 0);
    ASSERT_FALSE(outputs.empty());
    EXPECT_EQ(outputs.front(), (Output{"header", 1, 0, 241}));
}

bool SameDrawing(const RecordedDrawing &a, const RecordedDrawing &b)
{
    return a.kind == b.kind && a.rect == b.rect && a.line == b.line && a.position == b.position && a.text == b.text;
}

TEST_F(PageFlowTest, TwoRunsInARowPrintTheSamePages)
{
    SampleReport report;
    SampleReport::Fill(report.QRRichText1, QString(500, QChar(0x80BA)));  // runs onto a second page
    SampleReport::Fill(report.QRRichText2, QStringLiteral("未见异常。"));
    report.PrintToPrinter();
    const auto first = recording->pages;
    recording->pages.clear();
    report.PrintToPrinter();
    ASSERT_EQ(recording->jobsEnded, 2);
    ASSERT_GE(first.size(), 2u);
    ASSERT_EQ(recording->pages.size(), first.size());
    for (std::size_t page = 0; page < first.size(); ++page) {
        ASSERT_EQ(recording->pages[page].size(), first[page].size()) << page;
        for (std::size_t i = 0; i < first[page].size(); ++i)
            EXPECT_TRUE(SameDrawing(recording->pages[page][i], first[page][i])) << page << ":" << i;
    }
    EXPECT_EQ(report.Units(), TQRUnit::MM);
}

TEST_F(PageFlowTest, ANestedPrintReturnsAtOnce)
{
    SampleReport report;
    int nestedReturned = 0;
    report.DetailBand1->BeforePrint = [&](TQRCustomBand *, bool &) {
        report.PrintToPrinter();
        ++nestedReturned;
    };
    report.PrintToPrinter();
    EXPECT_EQ(nestedReturned, 1);
    EXPECT_EQ(recording->jobs.size(), 1);
    EXPECT_EQ(recording->pages.size(), 1u);
}

TEST_F(PageFlowTest, APrintArrivingWhileThePrinterIsMadeReturnsAtOnce)
{
    SampleReport report;
    int devices = 0;
    // Making the printer object processes window messages; one of them is a second print.
    PrinterDevice::setFactory([&] {
        if (++devices == 1)
            report.PrintToPrinter();
        return std::make_unique<RecordingPrinter>(recording);
    });
    report.PrintToPrinter();
    EXPECT_EQ(devices, 1);
    EXPECT_EQ(recording->jobs.size(), 1);
}

TEST_F(PageFlowTest, EveryRunHasItsOwnProgressWindow)
{
    for (bool show : {true, false}) {
        SampleReport report;
        report.ShowProgress = show;
        int during = 0;
        bool visible = false;
        report.OnStartPage = [&](TQRCustomReport *) {
            during = ProgressWindows();
            for (QWidget *widget : QApplication::topLevelWidgets())
                visible = visible || (dynamic_cast<TQRProgressForm *>(widget) && widget->isVisible());
        };
        report.PrintToPrinter();
        EXPECT_EQ(during, 1) << show;
        EXPECT_EQ(visible, show);
        EXPECT_EQ(ProgressWindows(), 0) << show;
    }
}

TEST_F(PageFlowTest, AFailedRunIsAbortedAndTheNextOnePrints)
{
    SampleReport report;
    auto *element = TQRControl::Create<ThrowingElement>(report.DetailBand1, 96);
    EXPECT_EQ(failureOf([&] { report.PrintToPrinter(); }), "元素出错");
    EXPECT_EQ(recording->jobsAborted, 1);
    EXPECT_EQ(recording->jobsEnded, 0);
    EXPECT_FALSE(report.RunActive());
    EXPECT_EQ(report.Units(), TQRUnit::MM);
    EXPECT_FALSE(report.QRLabel1->IsPrinting());
    EXPECT_EQ(ProgressWindows(), 0);

    element->armed = false;
    recording->pages.clear();
    report.PrintToPrinter();
    EXPECT_EQ(recording->jobsEnded, 1);
    EXPECT_EQ(recording->pages.size(), 1u);
}

TEST_F(PageFlowTest, AFooterThatNeverCompletesEndsTheRunWithAnError)
{
    SampleReport report;
    report.QRLabel10->AutoStretch = true;
    report.QRLabel10->SetCaption("一\r二\r三\r四");  // four lines in a box of one
    EXPECT_EQ(failureOf([&] { report.PrintToPrinter(); }), "页眉或页脚带区的内容一页打印不完，报表无法打印。");
    EXPECT_EQ(recording->jobsAborted, 1);
    EXPECT_LE(recording->pages.size(), 2u);
    EXPECT_FALSE(report.RunActive());
}

TEST_F(PageFlowTest, BuildingAReportNeverReachesAPrinter)
{
    int devices = 0;
    PrinterDevice::setFactory([&] {
        ++devices;
        return std::make_unique<RecordingPrinter>(recording);
    });
    SampleReport report;
    EXPECT_EQ(devices, 0);
    report.Page().SetPaperSize(TQRPaperSize::Letter);
    report.TakeDefaultPrinterPaper();
    EXPECT_EQ(devices, 1);
    EXPECT_EQ(report.Page().PaperSize(), TQRPaperSize::A4);
}

TEST_F(PageFlowTest, NeedDataHandlerRepeatsTheDetail)
{
    SampleReport report;
    int rows = 0;
    report.OnNeedData = [&](TQRCustomReport *, bool &more) { more = rows < 3; };
    report.DetailBand1->AfterPrint = [&](TQRCustomBand *, bool) { ++rows; };
    report.PrintToPrinter();
    EXPECT_EQ(rows, 3);
    // One detail band fills a page: three rows take three pages.
    EXPECT_EQ(recording->pages.size(), 3u);
}

}  // namespace
