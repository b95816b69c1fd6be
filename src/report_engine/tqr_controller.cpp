#include "report_engine/tqr_controller.h"

#include "platform/core/record_cursor.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_printer.h"

#include <QCoreApplication>

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
    QCoreApplication::processEvents();
    if (report->CancelFlag())
        return;
    if (Header) {
        report->EmitBand(Header);
        report->SetSkipPageBreakOnce();
    }
    TQRCustomBand *columnHeader = report->Bands().BandOfType(rbColumnHeader);
    if (report->PagesOpened() <= 1 && columnHeader && columnHeader->Enabled) {
        report->EmitBand(columnHeader);
        report->SetSkipPageBreakOnce();
    }
    TQRPrinter &printer = *report->Printer();
    while (moreData) {
        QCoreApplication::processEvents();
        if (printer.CancelRequested())
            return;
        ++DetailNumber;
        report->EmitBand(Detail);
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
        if (report->PagesOpened() == 0)
            report->OpenPage();
        report->EmitBand(Footer);
    }
}
