#pragma once

#include "platform/printing/printer_device.h"

#include <QPainter>
#include <QPdfWriter>
#include <chrono>
#include <functional>
#include <memory>

class QTextDocument;

// A 600 dots-per-inch A4 printer that writes PDF and throws it away, so the
// benchmarks time the engine, text layout and PDF generation, not a spooler.
class PdfPrinter : public PrinterDevice {
public:
    // Makes every new printer device a PdfPrinter.
    static void install();
    // The reference printout: a QTextDocument in the report's 14-point font,
    // filled by `fill`, printed on the same paper and resolution within
    // `millimetres` of margin and thrown away.
    static void printReference(const std::function<void(QTextDocument &)> &fill, const QMarginsF &millimetres);
    static constexpr const char *Discarded = "/dev/null";
    // When the last document was finished: the job handed over.
    static std::chrono::steady_clock::time_point lastHandedOver() { return handedOver_; }

    bool serviceReachable() const override { return true; }
    QStringList printerNames() const override { return {QStringLiteral("bench")}; }
    int defaultPrinterIndex() const override { return 0; }
    void select(int) override { resetDeviceMode(); }
    QString deviceName() const override { return QStringLiteral("bench"); }
    QString driverName() const override { return QStringLiteral("pdf"); }
    QString portName() const override { return QStringLiteral("null"); }
    DeviceMode deviceMode() const override { return mode_; }
    void setDeviceMode(const DeviceMode &mode) override { mode_ = mode; }
    void resetDeviceMode() override;
    QList<int> paperCodes() const override { return {9}; }
    DeviceMeasurements measurements() const override { return {600, 600, 4961, 7016, 0, 0}; }
    void beginDocument(const QString &title) override;
    void newPage() override { writer_->newPage(); }
    void endDocument() override;
    void abortDocument() override { endDocument(); }
    bool printing() const override { return painter_.isActive(); }
    QPainter &canvas() override { return painter_; }

private:
    DeviceMode mode_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    static inline std::chrono::steady_clock::time_point handedOver_;
};
