#include "report_engine/tprinter_settings.h"

#include "platform/printing/printer_device.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

void ProcessPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// Report units of `dots` at `dotsPerInch`; a device that reports no
// resolution has nothing to measure.
int ReportUnits(int dots, int dotsPerInch)
{
    return dotsPerInch > 0 ? qrRound(Extended(dots) / dotsPerInch * 254) : 0;
}

}  // namespace

void TPrinterSettings::AttachDevice(PrinterDevice *printer)
{
    printer_ = printer;
    if (printer_ && !printer_->printerNames().isEmpty())
        ReadDeviceSettings();
}

void TPrinterSettings::ReadDeviceSettings()
{
    if (!printer_)
        return;
    ProcessPendingMessages();
    deviceName_ = printer_->deviceName();
    driverName_ = QFileInfo(printer_->driverName()).fileName().left(63);
    portName_ = printer_->portName();
    mode_ = printer_->deviceMode();

    const DeviceMeasurements m = printer_->measurements();
    pixelsPerInchX_ = m.logPixelsX;
    pixelsPerInchY_ = m.logPixelsY;
    copies_ = DeviceSupports(DeviceMode::DM_COPIES) ? mode_.copies : 1;
    outputBin_ = TQRBin::First;
    if (DeviceSupports(DeviceMode::DM_DEFAULTSOURCE))
        outputBin_ = BinFromCode(mode_.defaultSource).value_or(TQRBin::First);
    duplex_ = DeviceSupports(DeviceMode::DM_DUPLEX) && mode_.duplex != 1;
    leftOffset_ = ReportUnits(m.physicalOffsetX, m.logPixelsX);
    topOffset_ = ReportUnits(m.physicalOffsetY, m.logPixelsY);
    paperSize_ = TQRPaperSize::Default;
    if (DeviceSupports(DeviceMode::DM_PAPERSIZE))
        paperSize_ = PaperSizeFromCode(mode_.paperSize).value_or(TQRPaperSize::Default);
    paperWidth_ = ReportUnits(m.physicalWidth, m.logPixelsX);
    paperLength_ = ReportUnits(m.physicalHeight, m.logPixelsY);

    supported_.fill(false);
    const QList<int> codes = printer_->paperCodes();
    for (int i = 1; i < PaperSizeCount; ++i)
        supported_[i] = codes.contains(PaperCode(TQRPaperSize(i)));
    supported_[int(TQRPaperSize::Custom)] = true;
}

void TPrinterSettings::WriteDeviceSettings()
{
    if (!printer_)
        return;
    DeviceMode mode = printer_->deviceMode();
    if (paperSize_ == TQRPaperSize::Custom) {
        if (DeviceSupports(DeviceMode::DM_PAPERLENGTH)) {
            mode.fields |= DeviceMode::DM_PAPERLENGTH;
            mode.paperLength = short(paperLength_);
        }
        if (DeviceSupports(DeviceMode::DM_PAPERWIDTH)) {
            mode.fields |= DeviceMode::DM_PAPERWIDTH;
            mode.paperWidth = short(paperWidth_);
        }
    }
    // A two-sided printer keeps its own edge: forcing the short edge on a
    // long-edge printer would print every back page upside down.
    if (duplex_)
        mode.fields |= DeviceMode::DM_DUPLEX;
    if (DeviceSupports(DeviceMode::DM_PAPERSIZE) && paperSize_ != TQRPaperSize::Default) {
        mode.fields |= DeviceMode::DM_PAPERSIZE;
        mode.paperSize = short(PaperCode(paperSize_));
    }
    mode.fields |= DeviceMode::DM_COPIES;
    mode.copies = short(copies_);
    mode.fields |= DeviceMode::DM_DEFAULTSOURCE;
    mode.defaultSource = short(BinCode(outputBin_) | (mode.defaultSource & 256));
    mode.fields |= DeviceMode::DM_ORIENTATION;
    mode.orientation = orientation_ == poPortrait ? 1 : 2;
    printer_->setDeviceMode(mode);
    mode_ = mode;
    // Papers of one printer can have different unprintable edges; the page
    // origin is that of the paper just written, not of the default one.
    const DeviceMeasurements m = printer_->measurements();
    leftOffset_ = ReportUnits(m.physicalOffsetX, m.logPixelsX);
    topOffset_ = ReportUnits(m.physicalOffsetY, m.logPixelsY);
}

bool TPrinterSettings::DeviceSupports(std::uint32_t bits) const
{
    return printer_ && (mode_.fields & bits) == bits;
}

void TPrinterSettings::SetCopies(int copies)
{
    if (DeviceSupports(DeviceMode::DM_COPIES))
        copies_ = copies;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation orientation)
{
    if (DeviceSupports(DeviceMode::DM_ORIENTATION))
        orientation_ = orientation;
}

void TPrinterSettings::SetOutputBin(TQRBin bin)
{
    if (DeviceSupports(DeviceMode::DM_DEFAULTSOURCE))
        outputBin_ = bin;
}

void TPrinterSettings::SetPaperSize(TQRPaperSize size)
{
    if (size == TQRPaperSize::Default || Supported(size))
        paperSize_ = size;
}

bool TPrinterSettings::Supported(TQRPaperSize size) const
{
    return size == TQRPaperSize::Custom || supported_[int(size)];
}

int TPrinterSettings::PaperWidth() const
{
    const auto paper = PaperSizeTable(paperSize_);
    return paper ? qrRound(paper->Width * 10) : paperWidth_;
}

int TPrinterSettings::PaperLength() const
{
    const auto paper = PaperSizeTable(paperSize_);
    return paper ? qrRound(paper->Length * 10) : paperLength_;
}

void TPrinterSettings::SetPaperWidth(int width)
{
    if (paperSize_ == TQRPaperSize::Custom)
        paperWidth_ = width;
}

void TPrinterSettings::SetPaperLength(int length)
{
    if (paperSize_ == TQRPaperSize::Custom)
        paperLength_ = length;
}
