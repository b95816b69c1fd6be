#include "report_engine/tqr_printer.h"

#include "platform/printing/printer_device.h"
#include "report_engine/eqr_error.h"
#include "report_engine/tqr_printer_message.h"

#include <QCoreApplication>

namespace {

void ProcessPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

}  // namespace

TQRPrinter::TQRPrinter() : device_(PrinterDevice::create())
{
    printerAvailable_ = !device_->printerNames().isEmpty();
    spoolerReachable_ = printerAvailable_ || device_->serviceReachable();
    if (printerAvailable_) {
        settings_.AttachDevice(device_.get());
        ProcessPendingMessages();
    }
    unprintableTop_ = settings_.TopOffset();
    unprintableLeft_ = settings_.LeftOffset();
}

TQRPrinter::~TQRPrinter()
{
    if (outputState_ == Busy) {
        RequestCancel();
        // A run that never ended sends nothing.
        if (device_->printing())
            device_->abortDocument();
    }
    if (offDeviceCanvas_.isActive())
        offDeviceCanvas_.end();
}

void TQRPrinter::SelectPrinter(int index)
{
    if (!printerAvailable_)
        return;
    device_->select(index);
    settings_.ReadDeviceSettings();
}

bool TQRPrinter::InPageRange(int page) const
{
    return (FirstPage <= 0 || page >= FirstPage) && (LastPage <= 0 || page <= LastPage);
}

void TQRPrinter::BeginDocument()
{
    if (offDeviceCanvas_.isActive())
        offDeviceCanvas_.end();
    pagesFinished_ = 0;
    cancelRequested_ = false;
    const bool toPrinter = OutputTarget == Printer;
    if (toPrinter)
        settings_.WriteDeviceSettings();
    unprintableTop_ = toPrinter ? settings_.TopOffset() : 0;
    unprintableLeft_ = toPrinter ? settings_.LeftOffset() : 0;
    if (outputState_ != Ready)
        throw EQRError(QStringLiteral("QRPrinter not ready"));
    pagesBegun_ = 0;
    outputState_ = Busy;
    if (toPrinter)
        TakeDeviceResolution();
}

void TQRPrinter::StartNewPage()
{
    if (outputState_ != Busy)
        throw EQRError(QStringLiteral("Illegal call to NewPage"));
    const bool toPrinter = OutputTarget == Printer;
    if (pagesBegun_ > 0) {
        if (onDevice_) {
            // The last page of the range stays open: the job ends with it.
            if (device_->printing() && pagesBegun_ != LastPage)
                device_->newPage();
        } else {
            offDeviceCanvas_.end();
            if (!toPrinter)
                storedPages_.push_back(offDevicePage_);
        }
        ++pagesFinished_;
        Post(TQRPrinterMessage::PagesFinished, pagesFinished_);
    }
    ++pagesBegun_;
    onDevice_ = toPrinter && InPageRange(pagesBegun_);
    if (!onDevice_) {
        StartOffDevicePage();
        return;
    }
    if (!device_->printing())
        device_->beginDocument(DocumentTitle);
    TakeDeviceResolution();
}

void TQRPrinter::EndDocument()
{
    if (outputState_ != Busy)
        return;
    const bool toPrinter = OutputTarget == Printer;
    if (offDeviceCanvas_.isActive()) {
        offDeviceCanvas_.end();
        if (!toPrinter)
            storedPages_.push_back(offDevicePage_);
    }
    if (toPrinter && device_->printing()) {
        try {
            device_->endDocument();
        } catch (...) {
            outputState_ = Finished;
            throw;
        }
    }
    outputState_ = Finished;
    ProcessPendingMessages();
    ++pagesFinished_;
    Post(TQRPrinterMessage::PagesFinished, pagesFinished_);
    if (toPrinter && OnDocumentPrinted)
        OnDocumentPrinted();
}

void TQRPrinter::AbortDocument()
{
    if (OutputTarget == Printer)
        device_->abortDocument();
    if (offDeviceCanvas_.isActive())
        offDeviceCanvas_.end();
    outputState_ = Finished;
}

QPainter &TQRPrinter::PageCanvas()
{
    return onDevice_ ? device_->canvas() : offDeviceCanvas_;
}

void TQRPrinter::ReportProgress(int percent)
{
    progressPercent_ = percent;
    Post(TQRPrinterMessage::Progress, percent);
}

void TQRPrinter::TakeDeviceResolution()
{
    const DeviceMeasurements m = device_->measurements();
    dotsPerUnitX_ = m.logPixelsX / 254.0L;
    dotsPerUnitY_ = m.logPixelsY / 254.0L;
}

void TQRPrinter::Post(QEvent::Type type, int parameter)
{
    if (ProgressClient)
        QCoreApplication::postEvent(ProgressClient, new TQRPrinterMessage(type, parameter));
}

void TQRPrinter::StartOffDevicePage()
{
    // A metafile at screen resolution; what is drawn on it never reaches the printer.
    offDevicePage_ = QPicture();
    offDeviceCanvas_.begin(&offDevicePage_);
    dotsPerUnitX_ = dotsPerUnitY_ = ScreenPixelsPerInch() / 254.0L;
}
