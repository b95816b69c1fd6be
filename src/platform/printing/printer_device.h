#pragma once

#include "platform/printing/device_measurements.h"
#include "platform/printing/device_mode.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class QPainter;

// A printer as the report engine drives it: the installed printers with the
// default one, the selected printer's names and device-settings block, its
// papers and measurements, and one print job at a time with a canvas on its
// current page (origin at the first printable dot). Failures throw Failure.
class PrinterDevice {
public:
    using Factory = std::function<std::unique_ptr<PrinterDevice>()>;

    virtual ~PrinterDevice() = default;

    // A new device on the system's default printer; tests install their own maker.
    static std::unique_ptr<PrinterDevice> create();
    static void setFactory(Factory factory);  // an empty factory restores the real one

    virtual QStringList printerNames() const = 0;
    virtual int defaultPrinterIndex() const = 0;  // -1 when there is none
    // Whether the print service answers at all: an empty printer list means
    // "no printer installed" only while it does.
    virtual bool serviceReachable() const = 0;
    // -1 selects the default printer; the settings are reset to its defaults.
    virtual void select(int index) = 0;

    virtual QString deviceName() const = 0;
    virtual QString driverName() const = 0;
    virtual QString portName() const = 0;

    virtual DeviceMode deviceMode() const = 0;
    // Used for the next document.
    virtual void setDeviceMode(const DeviceMode &mode) = 0;
    // Back to the printer's default document settings.
    virtual void resetDeviceMode() = 0;
    virtual QList<int> paperCodes() const = 0;
    virtual DeviceMeasurements measurements() const = 0;

    // Opens a job named `title`; this starts its first page.
    virtual void beginDocument(const QString &title) = 0;
    // Ends the current page and starts the next.
    virtual void newPage() = 0;
    // Ends the last page and hands the job to the spooler.
    virtual void endDocument() = 0;
    // Throws when no document is open.
    virtual void abortDocument() = 0;
    virtual bool printing() const = 0;
    virtual QPainter &canvas() = 0;
};
