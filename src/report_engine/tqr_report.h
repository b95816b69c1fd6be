#pragma once

#include "report_engine/tqr_custom_report.h"

class RecordCursor;
class TQRController;

// The report class that definitions derive from; its controller carries the
// data set and the need-data handler.
class TQRReport : public TQRCustomReport {
public:
    explicit TQRReport(int screenResolution = 0);

    // Repeats the detail band once per row; none by default. Held by the controller.
    RecordCursor *DataSet() const;
    void SetDataSet(RecordCursor *dataSet);

    // Supplies detail rows when the report has no data set; handed to the
    // controller at the start of each run.
    std::function<void(TQRCustomReport *sender, bool &moreData)> OnNeedData;

protected:
    void RunBands() override;

private:
    TQRController &ReportController();
    const TQRController &ReportController() const;
};
