#include "platform/printing/printer_device.h"

#include "platform/printing/cups_printer_device.h"

namespace {
PrinterDevice::Factory &installedFactory()
{
    static PrinterDevice::Factory factory;
    return factory;
}
}  // namespace

std::unique_ptr<PrinterDevice> PrinterDevice::create()
{
    if (installedFactory())
        return installedFactory()();
    return std::make_unique<CupsPrinterDevice>();
}

void PrinterDevice::setFactory(Factory factory)
{
    installedFactory() = std::move(factory);
}
