#pragma once

#include "report_engine/tqr_custom_controller.h"

#include <functional>

class RecordCursor;

// The controller of a TQRReport: repeats the detail band once per row of its
// data set, or for as long as the need-data handler says there is more, and
// counts the detail rows printed in a run.
class TQRController : public TQRCustomController {
public:
    using TQRCustomController::TQRCustomController;

    RecordCursor *DataSet = nullptr;
    std::function<void(TQRCustomReport *sender, bool &moreData)> OnNeedData;
    int DetailNumber = 0;

    // Between rows the window messages are processed and the printer
    // object's Cancel is honoured; a data set also reports progress.
    void RunDetail() override;
};
