#include "report_engine/tqr_custom_controller.h"

#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_print_run.h"

void TQRCustomController::RunDetail()
{
    if (PrintIfEmpty)
        PrintWithoutData();
}

void TQRCustomController::PrintWithoutData()
{
    TQRPrintRun &run = *report_->Run();
    run.EmitBand(Header);
    run.EmitBand(Detail);
    run.EmitBand(Footer);
}
