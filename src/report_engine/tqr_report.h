#pragma once

#include "report_engine/tqr_custom_report.h"

// The report class that definitions derive from; its controller carries the
// need-data handler.
class TQRReport : public TQRCustomReport {
public:
    explicit TQRReport(int screenResolution = 0);

    // Supplies detail rows when the report has no data set; handed to the
    // controller at the start of each run.
    std::function<void(TQRCustomReport *sender, bool &moreData)> OnNeedData;
};
