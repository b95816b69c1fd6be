#pragma once

#include "platform/printing/device_measurements.h"
#include "platform/printing/device_mode.h"
#include "doubles/recorded_drawing.h"

#include <QList>
#include <QStringList>
#include <vector>

// What a recording printer reports about itself and what was printed on it.
// Shared by every device made from it, so the pages outlive the print run.
class PrinterRecording {
public:
    PrinterRecording();  // one default printer, 600 dots per inch, A4, no unprintable margin

    // Configuration.
    QStringList printers{QStringLiteral("Recorder")};
    int defaultIndex = 0;  // -1: printers without a default
    bool serviceReachable = true;
    QString refusal;  // when set, ending a job fails with it, as a spooler refusing the job
    QString driver = QStringLiteral("recorder.drv");
    QString port = QStringLiteral("FILE:");
    DeviceMeasurements measurements;  // device dots
    QList<int> paperCodes;
    DeviceMode defaults;  // the printer's default document settings

    // Results, in printing order.
    std::vector<std::vector<RecordedDrawing>> pages;  // device dots of each page
    QStringList jobs;                                 // names of the jobs opened
    int jobsEnded = 0;
    int jobsAborted = 0;
    DeviceMode lastWritten;  // the block given to the printer last
};
