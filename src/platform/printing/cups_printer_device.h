#pragma once

#include "platform/printing/cups_queue.h"
#include "platform/printing/printer_device.h"

#include <QPainter>
#include <memory>

class QPdfWriter;
class QTemporaryFile;

// The system's CUPS queues through libcups. A document is drawn into a
// temporary PDF at the queue's own resolution, with the origin at the first
// printable dot of the paper; only a finished document is sent, as one job
// whose every step the scheduler has to confirm. An aborted document, or one
// still open when the device goes, is thrown away unsent.
class CupsPrinterDevice : public PrinterDevice {
public:
    CupsPrinterDevice();  // on the default printer, with its defaults
    ~CupsPrinterDevice() override;

    QStringList printerNames() const override;
    int defaultPrinterIndex() const override;
    bool serviceReachable() const override;
    void select(int index) override;

    QString deviceName() const override { return name_; }
    QString driverName() const override { return queue_.makeAndModel; }  // the queue's make and model
    QString portName() const override { return queue_.location; }  // CUPS has no ports; the location stands in

    DeviceMode deviceMode() const override { return mode_; }
    void setDeviceMode(const DeviceMode &mode) override { mode_ = mode; }
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
    // The paper the settings block asks for, portrait, with its imageable area.
    CupsQueue::Paper paper() const;
    int dotsPerInch() const;
    void discardDocument();

    QString name_;
    CupsQueue queue_;
    DeviceMode mode_;
    QString title_;
    std::unique_ptr<QTemporaryFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
};
