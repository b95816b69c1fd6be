#pragma once

#include "platform/printing/printer_device.h"
#include "doubles/printer_recording.h"
#include "doubles/recording_canvas.h"

#include <QPainter>
#include <memory>

// A printer for tests: it reports what its recording is configured with and
// writes every page's drawing into the recording.
class RecordingPrinter : public PrinterDevice {
public:
    explicit RecordingPrinter(std::shared_ptr<PrinterRecording> recording);
    ~RecordingPrinter() override;

    // Makes every new printer device record into `recording`.
    static void install(const std::shared_ptr<PrinterRecording> &recording);

    QStringList printerNames() const override { return recording_->printers; }
    int defaultPrinterIndex() const override { return recording_->defaultIndex; }
    bool serviceReachable() const override { return recording_->serviceReachable; }
    void select(int index) override;
    QString deviceName() const override;
    QString driverName() const override { return recording_->driver; }
    QString portName() const override { return recording_->port; }

    DeviceMode deviceMode() const override { return mode_; }
    void setDeviceMode(const DeviceMode &mode) override;
    void resetDeviceMode() override { mode_ = recording_->defaults; }
    QList<int> paperCodes() const override { return recording_->paperCodes; }
    DeviceMeasurements measurements() const override { return recording_->measurements; }

    void beginDocument(const QString &title) override;
    void newPage() override;
    void endDocument() override;
    void abortDocument() override;
    bool printing() const override { return painter_.isActive(); }
    QPainter &canvas() override { return painter_; }

private:
    void startPage();

    std::shared_ptr<PrinterRecording> recording_;
    DeviceMode mode_;
    int selected_;
    std::unique_ptr<RecordingCanvas> page_;
    QPainter painter_;
};
