#include "report_engine/tqr_controller.h"

#include "platform/core/record_cursor.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_print_run.h"
#include "report_engine/tqr_printer.h"

void TQRController::RunDetail()
{
    TQRCustomReport *report = ParentReport();
    const bool fromDataSet = DataSet && DataSet->cursorActive();
    if (!fromDataSet && !OnNeedData) {
        TQRCustomController::RunDetail();
        return;
    }
    bool moreData = true;
    int rowCount = 0;
    if (fromDataSet) {
        DataSet->cursorFirst();
        moreData = !DataSet->cursorEof();
        rowCount = DataSet->cursorRecordCount();
        if (rowCount < 0)
            rowCount = 1;
        if (!moreData && PrintIfEmpty)
            PrintWithoutData();
    } else {
        OnNeedData(report, moreData);
    }
    DetailNumber = 0;
    if (!moreData)
        return;
    TQRPrintRun &run = *report->Run();
    run.ProcessMessages();
    if (run.CancelFlag())
        return;
    if (Header) {
        run.EmitBand(Header);
        run.SetSkipPageBreakOnce();
    }
    TQRCustomBand *columnHeader = report->Bands().BandOfType(rbColumnHeader);
    if (run.PagesOpened() <= 1 && columnHeader && columnHeader->Enabled) {
        run.EmitBand(columnHeader);
        run.SetSkipPageBreakOnce();
    }
    TQRPrinter &printer = run.Printer();
    while (moreData) {
        run.ProcessMessages();
        if (printer.CancelRequested())
            return;
        ++DetailNumber;
        run.EmitBand(Detail);
        if (fromDataSet) {
            DataSet->cursorNext();
            moreData = !DataSet->cursorEof();
            if (rowCount != 0)
                printer.ReportProgress(DetailNumber * 100 / rowCount);
        } else {
            moreData = false;
            OnNeedData(report, moreData);
        }
    }
    if (Footer) {
        if (run.PagesOpened() == 0)
            run.OpenPage();
        run.EmitBand(Footer);
    }
}
