#include "report_engine/tqr_report.h"

#include "report_engine/tqr_controller.h"

TQRReport::TQRReport(int screenResolution) : TQRCustomReport(screenResolution)
{
    SetController(std::make_unique<TQRController>(this));
}
