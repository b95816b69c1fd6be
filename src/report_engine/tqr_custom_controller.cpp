#include "report_engine/tqr_custom_controller.h"

#include "report_engine/tqr_custom_report.h"

void TQRCustomController::RunDetail()
{
    if (PrintIfEmpty)
        PrintWithoutData();
}

void TQRCustomController::PrintWithoutData()
{
    report_->EmitBand(Header);
    report_->EmitBand(Detail);
    report_->EmitBand(Footer);
}
