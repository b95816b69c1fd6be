#include "report_engine/tqr_report.h"

#include "report_engine/tqr_controller.h"

TQRReport::TQRReport(int screenResolution) : TQRCustomReport(screenResolution)
{
    SetController(std::make_unique<TQRController>(this));
}

TQRController &TQRReport::ReportController()
{
    return static_cast<TQRController &>(Controller());
}

const TQRController &TQRReport::ReportController() const
{
    return static_cast<const TQRController &>(Controller());
}

RecordCursor *TQRReport::DataSet() const
{
    return ReportController().DataSet;
}

void TQRReport::SetDataSet(RecordCursor *dataSet)
{
    ReportController().DataSet = dataSet;
}

void TQRReport::RunBands()
{
    ReportController().OnNeedData = OnNeedData;
    TQRCustomReport::RunBands();
}
