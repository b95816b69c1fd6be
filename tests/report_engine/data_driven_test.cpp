#include "doubles/recording_printer.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_progress_form.h"
#include "sample_report.h"
#include "store/query.h"
#include "temp_database.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TQRProgressForm *ProgressWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = dynamic_cast<TQRProgressForm *>(widget))
            return form;
    }
    return nullptr;
}

// A report whose detail band repeats once per row of a store query: one row
// per line of the detail band, a summary band after the last.
class DataDrivenTest : public ::testing::Test {
protected:
    DataDrivenTest()
    {
        RecordingPrinter::install(recording);
        query.SQL() << "with recursive r(n) as (select 1 union all select n + 1 from r where n < 10) "
                       "select n from r";
        query.Open();
        report.SetUnits(TQRUnit::Native);
        detail = TQRControl::Create<TQRBand>(&report, rbDetail, 96);
        detail->Size().SetHeight(100);
        number = TQRControl::Create<TQRLabel>(detail, 96);
        summary = TQRControl::Create<TQRBand>(&report, rbSummary, 96);
        summary->Size().SetHeight(100);
        report.SetDataSet(&query);
        detail->BeforePrint = [this](TQRCustomBand *, bool &) {
            number->SetCaption(query.fieldByName("n").asString());
        };
        detail->AfterPrint = [this](TQRCustomBand *, bool) { rows << number->Caption(); };
        summary->AfterPrint = [this](TQRCustomBand *, bool) { ++summaries; };
    }
    ~DataDrivenTest() override { RecordingPrinter::install(std::make_shared<PrinterRecording>()); }

    std::shared_ptr<PrinterRecording> recording = std::make_shared<PrinterRecording>();
    TempDatabase db;
    Query query{&db.connection(), QStringLiteral("ADOQuery1")};
    TQRReport report{96};
    TQRBand *detail;
    TQRLabel *number;
    TQRBand *summary;
    QStringList rows;
    int summaries = 0;
};

TEST_F(DataDrivenTest, EveryRowPrintsItsDetailThenTheSummary)
{
    report.PrintToPrinter();
    EXPECT_EQ(rows, QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(summaries, 1);
    EXPECT_EQ(recording->jobsEnded, 1);
}

TEST_F(DataDrivenTest, CancelStopsBetweenRowsAndPrintsWhatWasDrawn)
{
    int gauge = -1;
    detail->AfterPrint = [&](TQRCustomBand *, bool) {
        rows << number->Caption();
        if (rows.size() == 3) {
            TQRProgressForm *progress = ProgressWindow();
            ASSERT_NE(progress, nullptr);
            gauge = progress->Gauge->value();  // 20 %: two of ten rows reported
            progress->CancelButton->click();
        }
    };
    report.PrintToPrinter();
    EXPECT_EQ(rows, QStringList({"1", "2", "3"}));
    EXPECT_EQ(gauge, 20);
    EXPECT_EQ(summaries, 0);
    EXPECT_EQ(recording->jobsEnded, 1);
    EXPECT_EQ(recording->jobsAborted, 0);
    EXPECT_EQ(recording->pages.size(), 1u);
    EXPECT_EQ(ProgressWindow(), nullptr);
}

TEST_F(DataDrivenTest, AnEmptyQueryPrintsTheDetailOnceWhenAskedTo)
{
    detail->BeforePrint = nullptr;  // an empty result has no value to show
    for (bool printIfEmpty : {true, false}) {
        SCOPED_TRACE(printIfEmpty);
        rows.clear();
        summaries = 0;
        query.Reopen({"select 1 as n where 0"});
        report.SetPrintIfEmpty(printIfEmpty);
        report.PrintToPrinter();
        EXPECT_EQ(rows.size(), printIfEmpty ? 1 : 0);
        EXPECT_EQ(summaries, printIfEmpty ? 1 : 0);
    }
}

}  // namespace
