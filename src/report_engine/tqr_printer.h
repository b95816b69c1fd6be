#pragma once

#include "report_engine/qr_types.h"
#include "report_engine/tprinter_settings.h"

#include <QEvent>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class PrinterDevice;

// The printer side of one print run: selects the printer and hands it the
// report's paper, orientation, copies and bin, opens the job, hands out the
// canvas of the page being drawn, converts report units (0.1 mm) to device
// dots and keeps pages outside the page range off the printer.
class TQRPrinter {
public:
    enum TQROutputTarget { StoredPages = 0, Printer = 1 };
    enum TQROutputState { Ready = 0, Busy = 1, Finished = 2 };

    // Starts on the system's default printer with its current settings.
    TQRPrinter();
    ~TQRPrinter();
    TQRPrinter(const TQRPrinter &) = delete;
    TQRPrinter &operator=(const TQRPrinter &) = delete;

    bool PrinterAvailable() const { return printerAvailable_; }
    // False when the print service itself does not answer: then no printer
    // being available does not mean that none is installed.
    bool SpoolerReachable() const { return spoolerReachable_; }
    // -1 is the default printer; the run starts from that printer's defaults.
    void SelectPrinter(int index);

    TQROutputTarget OutputTarget = StoredPages;
    TQROutputState OutputState() const { return outputState_; }
    QString DocumentTitle;
    bool Compression = false;
    int FirstPage = 0;  // 0: no limit
    int LastPage = 0;   // 0: no limit
    // Window that receives the TQRPrinterMessage events; none by default.
    QPointer<QObject> ProgressClient;
    std::function<void()> OnDocumentPrinted;
    std::function<void()> OnPreviewClosed;

    // The report's choices; a value the device does not support is refused.
    void SetPaperSize(TQRPaperSize size) { settings_.SetPaperSize(size); }
    void SetPaperWidth(int width) { settings_.SetPaperWidth(width); }     // report units, Custom only
    void SetPaperLength(int length) { settings_.SetPaperLength(length); }  // report units, Custom only
    void SetOrientation(TPrinterOrientation orientation) { settings_.SetOrientation(orientation); }
    void SetCopies(int copies) { settings_.SetCopies(copies); }
    void SetOutputBin(TQRBin bin) { settings_.SetOutputBin(bin); }
    TQRPaperSize PrinterPaperSize() const { return settings_.PaperSize(); }
    int PrinterPaperWidth() const { return settings_.PaperWidth(); }    // report units
    int PrinterPaperLength() const { return settings_.PaperLength(); }  // report units
    const TPrinterSettings &DeviceSettings() const { return settings_; }

    void BeginDocument();  // throws EQRError "QRPrinter not ready" unless ready
    void StartNewPage();   // throws EQRError "Illegal call to NewPage" unless busy
    // Hands the job to the spooler; a refusal throws the spooler's Failure
    // and OnDocumentPrinted is not called.
    void EndDocument();
    void AbortDocument();  // nothing of the open job reaches the printer
    int PagesBegun() const { return pagesBegun_; }
    int PagesFinished() const { return pagesFinished_; }
    // Where the current page is drawn, origin at the first printable dot.
    QPainter &PageCanvas();
    // Pages of the stored-pages target, as drawn.
    const std::vector<QPicture> &StoredPageList() const { return storedPages_; }

    int UnprintableLeft() const { return unprintableLeft_; }  // report units
    int UnprintableTop() const { return unprintableTop_; }    // report units
    Extended DotsPerUnitX() const { return dotsPerUnitX_; }   // device dots per report unit
    Extended DotsPerUnitY() const { return dotsPerUnitY_; }
    // Report units from the paper's edge to device dots of the page canvas.
    int ToDeviceX(Extended x) const { return qrRound((x - unprintableLeft_) * dotsPerUnitX_); }
    int ToDeviceY(Extended y) const { return qrRound((y - unprintableTop_) * dotsPerUnitY_); }
    // Report-unit lengths to device dots.
    int ToDeviceWidth(Extended w) const { return qrRound(w * dotsPerUnitX_); }
    int ToDeviceHeight(Extended h) const { return qrRound(h * dotsPerUnitY_); }

    void ReportProgress(int percent);
    int ProgressPercent() const { return progressPercent_; }
    void RequestCancel() { cancelRequested_ = true; }
    bool CancelRequested() const { return cancelRequested_; }

private:
    bool InPageRange(int page) const;
    void TakeDeviceResolution();
    void Post(QEvent::Type type, int parameter);
    void StartOffDevicePage();

    std::unique_ptr<PrinterDevice> device_;
    TPrinterSettings settings_;
    bool printerAvailable_ = false;
    bool spoolerReachable_ = true;
    TQROutputState outputState_ = Ready;
    int pagesBegun_ = 0;
    int pagesFinished_ = 0;
    int progressPercent_ = 0;
    bool cancelRequested_ = false;
    int unprintableLeft_ = 0;
    int unprintableTop_ = 0;
    Extended dotsPerUnitX_ = 0;
    Extended dotsPerUnitY_ = 0;
    // A page that does not reach the printer: discarded or stored.
    QPicture offDevicePage_;
    QPainter offDeviceCanvas_;
    bool onDevice_ = false;
    std::vector<QPicture> storedPages_;
};
