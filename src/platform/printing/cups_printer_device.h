#pragma once

#include "platform/printing/printer_device.h"

#include <QPainter>
#include <QPrinter>

// The system's CUPS printers through Qt Print Support. The device-settings
// block is kept here and applied to the printer before every document.
class CupsPrinterDevice : public PrinterDevice {
public:
    CupsPrinterDevice();  // on the default printer, with its defaults
    ~CupsPrinterDevice() override;

    QStringList printerNames() const override;
    int defaultPrinterIndex() const override;
    void select(int index) override;

    QString deviceName() const override;
    QString driverName() const override;  // CUPS make and model of the queue's driver
    QString portName() const override;    // CUPS has no ports; the queue's location stands in

    DeviceMode deviceMode() const override { return mode_; }
    void setDeviceMode(const DeviceMode &mode) override;
    void resetDeviceMode() override;
    QList<int> paperCodes() const override;
    DeviceMeasurements measurements() const override;

    void beginDocument(const QString &title) override;
    void newPage() override;
    void endDocument() override;
    void abortDocument() override;
    bool printing() const override { return painter_.isActive(); }
    QPainter &canvas() override { return painter_; }

private:
    void applyDeviceMode();

    QPrinter printer_{QPrinter::HighResolution};
    QPainter painter_;
    DeviceMode mode_;
};
