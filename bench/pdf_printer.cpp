#include "pdf_printer.h"

#include "platform/printing/print_font.h"

#include <QTextDocument>

void PdfPrinter::install()
{
    PrinterDevice::setFactory([] { return std::make_unique<PdfPrinter>(); });
}

namespace {

void prepare(QPdfWriter &writer)
{
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
}

} // namespace

void PdfPrinter::printReference(const std::function<void(QTextDocument &)> &fill, const QMarginsF &millimetres)
{
    QPdfWriter writer(QString::fromLatin1(Discarded));
    prepare(writer);
    writer.setPageMargins(millimetres, QPageLayout::Millimeter);
    QTextDocument document;
    document.setDefaultFont(PrintFont::withChineseFace(QFont(QStringLiteral("Arial"), 14)));
    fill(document);
    document.print(&writer);
}

void PdfPrinter::resetDeviceMode()
{
    mode_ = DeviceMode();
    mode_.fields = DeviceMode::DM_ORIENTATION | DeviceMode::DM_PAPERSIZE | DeviceMode::DM_COPIES;
    mode_.paperSize = 9;
}

void PdfPrinter::beginDocument(const QString &title)
{
    writer_ = std::make_unique<QPdfWriter>(QString::fromLatin1(Discarded));
    prepare(*writer_);
    writer_->setTitle(title);
    painter_.begin(writer_.get());
}

void PdfPrinter::endDocument()
{
    painter_.end();
    writer_.reset();
    handedOver_ = std::chrono::steady_clock::now();
}
