#pragma once

#include "report_engine/qr_types.h"

#include <QString>

// The printer choices of a report, handed to the run's printer object.
class TQRPrinterSettings {
public:
    int Copies = 1;
    bool Duplex = false;  // kept with the definition, never handed to the printer
    TQRBin OutputBin = TQRBin::Auto;
    TQRPaperSize PaperSize = TQRPaperSize::Letter;  // never read by a run
    int PrinterIndex = -1;                           // -1: the system's default printer
    QString Title;                                   // never read by a run
    int FirstPage = 0;                               // 0: no limit
    int LastPage = 0;                                // 0: no limit
};

// The part of the printer settings a report definition publishes and stores.
using TQRReportPrinterSettings = TQRPrinterSettings;
