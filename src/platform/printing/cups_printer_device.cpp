#include "platform/printing/cups_printer_device.h"

#include "platform/core/failure.h"

#include <QPrinterInfo>
#include <cmath>

namespace {

short duplexCode(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        return 2;
    case QPrinter::DuplexShortSide:
        return 3;
    case QPrinter::DuplexNone:
        break;
    }
    return 1;
}

}  // namespace

CupsPrinterDevice::CupsPrinterDevice()
{
    if (!QPrinterInfo::defaultPrinterName().isEmpty())
        resetDeviceMode();
}

CupsPrinterDevice::~CupsPrinterDevice()
{
    // A job still open here was not finished; it must not reach the printer half done.
    if (painter_.isActive()) {
        printer_.abort();
        painter_.end();
    }
}

QStringList CupsPrinterDevice::printerNames() const
{
    return QPrinterInfo::availablePrinterNames();
}

int CupsPrinterDevice::defaultPrinterIndex() const
{
    return printerNames().indexOf(QPrinterInfo::defaultPrinterName());
}

void CupsPrinterDevice::select(int index)
{
    const QStringList names = printerNames();
    QString name;
    if (index == -1) {
        name = QPrinterInfo::defaultPrinterName();
        if (name.isEmpty())
            throw Failure(QStringLiteral("There is no default printer currently selected"));
    } else if (index < 0 || index >= names.size()) {
        throw Failure(QStringLiteral("Printer selected is not valid"));
    } else {
        name = names.at(index);
    }
    printer_.setPrinterName(name);
    resetDeviceMode();
}

QString CupsPrinterDevice::deviceName() const
{
    return printer_.printerName();
}

QString CupsPrinterDevice::driverName() const
{
    return QPrinterInfo::printerInfo(printer_.printerName()).makeAndModel();
}

QString CupsPrinterDevice::portName() const
{
    return QPrinterInfo::printerInfo(printer_.printerName()).location();
}

void CupsPrinterDevice::setDeviceMode(const DeviceMode &mode)
{
    mode_ = mode;
    applyDeviceMode();
}

void CupsPrinterDevice::resetDeviceMode()
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer_.printerName());
    DeviceMode mode;
    mode.fields = DeviceMode::DM_ORIENTATION | DeviceMode::DM_PAPERSIZE | DeviceMode::DM_COPIES;
    if (info.supportsCustomPageSizes())
        mode.fields |= DeviceMode::DM_PAPERLENGTH | DeviceMode::DM_PAPERWIDTH;
    if (info.supportedDuplexModes().size() > 1)
        mode.fields |= DeviceMode::DM_DUPLEX;
    const QPageSize page = info.defaultPageSize();
    const QSizeF millimetres = page.size(QPageSize::Millimeter);
    mode.paperSize = short(page.windowsId() ? page.windowsId() : 256);
    mode.paperWidth = short(std::lround(millimetres.width() * 10));
    mode.paperLength = short(std::lround(millimetres.height() * 10));
    mode.duplex = duplexCode(info.defaultDuplexMode());
    mode.defaultSource = 7;  // CUPS chooses the tray itself
    setDeviceMode(mode);
}

QList<int> CupsPrinterDevice::paperCodes() const
{
    QList<int> codes;
    for (const QPageSize &page : QPrinterInfo::printerInfo(printer_.printerName()).supportedPageSizes()) {
        if (page.windowsId() != 0)
            codes.append(page.windowsId());
    }
    return codes;
}

DeviceMeasurements CupsPrinterDevice::measurements() const
{
    auto &printer = const_cast<QPrinter &>(printer_);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    DeviceMeasurements m;
    m.logPixelsX = printer.logicalDpiX();
    m.logPixelsY = printer.logicalDpiY();
    m.physicalWidth = qRound(paper.width());
    m.physicalHeight = qRound(paper.height());
    m.physicalOffsetX = qRound(page.left() - paper.left());
    m.physicalOffsetY = qRound(page.top() - paper.top());
    return m;
}

void CupsPrinterDevice::beginDocument(const QString &title)
{
    printer_.setDocName(title);
    if (!painter_.begin(&printer_))
        throw Failure(QStringLiteral("The print job could not be started on %1").arg(printer_.printerName()));
}

void CupsPrinterDevice::newPage()
{
    printer_.newPage();
}

void CupsPrinterDevice::endDocument()
{
    painter_.end();
}

void CupsPrinterDevice::abortDocument()
{
    if (!painter_.isActive())
        throw Failure(QStringLiteral("Printer is not currently printing"));
    printer_.abort();
    painter_.end();
}

void CupsPrinterDevice::applyDeviceMode()
{
    printer_.setPageOrientation(mode_.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (mode_.paperSize == 256 && mode_.paperWidth > 0 && mode_.paperLength > 0) {
        printer_.setPageSize(QPageSize(QSizeF(mode_.paperWidth / 10.0, mode_.paperLength / 10.0),
                                       QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    } else if (const QPageSize::PageSizeId id = QPageSize::id(mode_.paperSize); id != QPageSize::Custom) {
        printer_.setPageSize(QPageSize(id));
    }
    // The canvas starts at the first printable dot: the printer's own minimum margins.
    printer_.setFullPage(false);
    printer_.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    printer_.setCopyCount(std::max<int>(1, mode_.copies));
    if (mode_.fields & DeviceMode::DM_DUPLEX) {
        printer_.setDuplex(mode_.duplex == 3   ? QPrinter::DuplexShortSide
                           : mode_.duplex == 2 ? QPrinter::DuplexLongSide
                                               : QPrinter::DuplexNone);
    }
}
