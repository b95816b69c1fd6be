#pragma once

#include "report_engine/tqr_report.h"

// The diagnosis report layout. Created with the windows and never shown; the
// report window fills it and prints it.
class TQRReport7 : public TQRReport {
public:
    TQRReport7();
};

extern TQRReport7 *QRReport7;
