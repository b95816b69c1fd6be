#pragma once

#include "report_engine/tqr_custom_controller.h"

#include <functional>

class TQRCustomReport;

// The controller of a TQRReport: adds the need-data handler and the count of
// detail rows printed in a run.
class TQRController : public TQRCustomController {
public:
    using TQRCustomController::TQRCustomController;

    std::function<void(TQRCustomReport *sender, bool &moreData)> OnNeedData;
    int DetailNumber = 0;
};
