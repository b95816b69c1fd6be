#pragma once

#include "platform/printing/device_mode.h"
#include "report_engine/qr_types.h"

#include <QString>
#include <array>

class PrinterDevice;

// Reads a printer's capabilities and current settings, and writes the
// report's paper, orientation, copies and bin into its device settings.
// Setters keep out what the device does not support.
class TPrinterSettings {
public:
    // Remembers the printer; reads its settings when it lists any printer.
    void AttachDevice(PrinterDevice *printer);
    void ReadDeviceSettings();
    void WriteDeviceSettings();
    // A printer is attached and every bit of `bits` is among its fields.
    bool DeviceSupports(std::uint32_t bits) const;

    QString DeviceName() const { return deviceName_; }
    QString DriverName() const { return driverName_; }  // file name, at most 63 characters
    QString PortName() const { return portName_; }

    int Copies() const { return copies_; }
    void SetCopies(int copies);
    bool Duplex() const { return duplex_; }
    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation orientation);
    TQRBin OutputBin() const { return outputBin_; }
    void SetOutputBin(TQRBin bin);
    TQRPaperSize PaperSize() const { return paperSize_; }
    void SetPaperSize(TQRPaperSize size);
    bool Supported(TQRPaperSize size) const;
    // Report units: from the paper table for a named paper, else as stored.
    int PaperWidth() const;
    int PaperLength() const;
    void SetPaperWidth(int width);    // only while the paper is Custom
    void SetPaperLength(int length);  // only while the paper is Custom

    int PixelsPerInchX() const { return pixelsPerInchX_; }
    int PixelsPerInchY() const { return pixelsPerInchY_; }
    int LeftOffset() const { return leftOffset_; }  // report units
    int TopOffset() const { return topOffset_; }    // report units

private:
    PrinterDevice *printer_ = nullptr;
    QString deviceName_;
    QString driverName_;
    QString portName_;
    DeviceMode mode_;
    int copies_ = 1;
    bool duplex_ = false;
    TPrinterOrientation orientation_ = poPortrait;
    TQRBin outputBin_ = TQRBin::First;
    TQRPaperSize paperSize_ = TQRPaperSize::A4;
    std::array<bool, PaperSizeCount> supported_{};  // by TQRPaperSize; Default unused
    int paperWidth_ = 0;   // report units
    int paperLength_ = 0;  // report units
    int pixelsPerInchX_ = 0;
    int pixelsPerInchY_ = 0;
    int topOffset_ = 0;   // report units
    int leftOffset_ = 0;  // report units
};
