#include "platform/printing/cups_printer_device.h"

#include "platform/printing/cups_job.h"
#include "platform/printing/pdf_text_map.h"
#include "platform/core/failure.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <cups/cups.h>

namespace {

// A PDF has no resolution of its own; a queue that names none is drawn as
// finely as common office printers print.
constexpr int UnnamedResolution = 600;

// The queues of the scheduler, without the per-user instances of a queue.
class Destinations {
public:
    Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;

    QStringList names() const
    {
        QStringList names;
        for (int i = 0; i < count_; ++i) {
            if (!dests_[i].instance)
                names.append(QString::fromUtf8(dests_[i].name));
        }
        return names;
    }
    QString defaultName() const
    {
        for (int i = 0; i < count_; ++i) {
            if (dests_[i].is_default && !dests_[i].instance)
                return QString::fromUtf8(dests_[i].name);
        }
        return {};
    }

private:
    cups_dest_t *dests_ = nullptr;
    int count_ = 0;
};

short DuplexCode(const QByteArray &sides)
{
    if (sides == "two-sided-long-edge")
        return 2;
    if (sides == "two-sided-short-edge")
        return 3;
    return 1;
}

QByteArray Sides(short duplexCode)
{
    switch (duplexCode) {
    case 2:
        return "two-sided-long-edge";
    case 3:
        return "two-sided-short-edge";
    default:
        return "one-sided";
    }
}

struct OrientedPaper {
    QSizeF size;        // millimetres
    QMarginsF margins;  // millimetres
};

// Landscape turns the portrait paper a quarter to the left: its top edge
// becomes the left edge.
OrientedPaper Oriented(const CupsQueue::Paper &paper, short orientation)
{
    if (orientation != 2)
        return {paper.size, paper.margins};
    const QMarginsF m = paper.margins;
    return {paper.size.transposed(), QMarginsF(m.top(), m.right(), m.bottom(), m.left())};
}

int Dots(qreal millimetres, int dotsPerInch)
{
    return qRound(millimetres / 25.4 * dotsPerInch);
}

}  // namespace

CupsPrinterDevice::CupsPrinterDevice() : name_(Destinations().defaultName())
{
    if (!name_.isEmpty())
        resetDeviceMode();
}

CupsPrinterDevice::~CupsPrinterDevice()
{
    discardDocument();
}

QStringList CupsPrinterDevice::printerNames() const
{
    return Destinations().names();
}

int CupsPrinterDevice::defaultPrinterIndex() const
{
    const Destinations destinations;
    return destinations.names().indexOf(destinations.defaultName());
}

bool CupsPrinterDevice::serviceReachable() const
{
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    httpClose(http);
    return http != nullptr;
}

void CupsPrinterDevice::select(int index)
{
    const Destinations destinations;
    const QStringList names = destinations.names();
    if (index == -1) {
        name_ = destinations.defaultName();
        if (name_.isEmpty())
            throw Failure(QStringLiteral("There is no default printer currently selected"));
    } else if (index < 0 || index >= names.size()) {
        throw Failure(QStringLiteral("Printer selected is not valid"));
    } else {
        name_ = names.at(index);
    }
    resetDeviceMode();
}

void CupsPrinterDevice::resetDeviceMode()
{
    queue_ = CupsQueue::read(name_);
    DeviceMode mode;
    mode.fields = DeviceMode::DM_ORIENTATION | DeviceMode::DM_PAPERSIZE | DeviceMode::DM_COPIES;
    if (queue_.customSizes)
        mode.fields |= DeviceMode::DM_PAPERLENGTH | DeviceMode::DM_PAPERWIDTH;
    if (queue_.twoSided)
        mode.fields |= DeviceMode::DM_DUPLEX;
    if (queue_.defaultPaper) {
        const CupsQueue::Paper &paper = *queue_.defaultPaper;
        mode.paperSize = short(paper.code ? paper.code : 256);
        mode.paperWidth = short(qRound(paper.size.width() * 10));
        mode.paperLength = short(qRound(paper.size.height() * 10));
    }
    mode.duplex = DuplexCode(queue_.sidesDefault);
    mode.defaultSource = 7;  // CUPS chooses the tray itself
    mode_ = mode;
}

QList<int> CupsPrinterDevice::paperCodes() const
{
    QList<int> codes;
    for (const CupsQueue::Paper &paper : queue_.papers) {
        if (paper.code != 0)
            codes.append(paper.code);
    }
    return codes;
}

CupsQueue::Paper CupsPrinterDevice::paper() const
{
    if (const CupsQueue::Paper *listed = mode_.paperSize == 256 ? nullptr : queue_.find(mode_.paperSize))
        return *listed;
    CupsQueue::Paper paper;
    const QPageSize::PageSizeId id = QPageSize::id(mode_.paperSize);
    if (mode_.paperSize != 256 && id != QPageSize::Custom)
        paper.size = QPageSize(id).size(QPageSize::Millimeter);
    else
        paper.size = QSizeF(mode_.paperWidth, mode_.paperLength) / 10;
    // A queue that names no paper at all still gets a page: the report's A4.
    if (paper.size.isEmpty())
        paper.size = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    if (queue_.defaultPaper)
        paper.margins = queue_.defaultPaper->margins;
    const pwg_media_t *media = pwgMediaForSize(qRound(paper.size.width() * 100), qRound(paper.size.height() * 100));
    if (media)
        paper.name = media->pwg;
    return paper;
}

int CupsPrinterDevice::dotsPerInch() const
{
    return queue_.dotsPerInch > 0 ? queue_.dotsPerInch : UnnamedResolution;
}

DeviceMeasurements CupsPrinterDevice::measurements() const
{
    const int dpi = dotsPerInch();
    const OrientedPaper paper = Oriented(this->paper(), mode_.orientation);
    DeviceMeasurements m;
    m.logPixelsX = dpi;
    m.logPixelsY = dpi;
    m.physicalWidth = Dots(paper.size.width(), dpi);
    m.physicalHeight = Dots(paper.size.height(), dpi);
    m.physicalOffsetX = Dots(paper.margins.left(), dpi);
    m.physicalOffsetY = Dots(paper.margins.top(), dpi);
    return m;
}

void CupsPrinterDevice::beginDocument(const QString &title)
{
    discardDocument();
    file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/ruvured-XXXXXX.pdf"));
    if (!file_->open()) {
        const QString reason = file_->errorString();
        discardDocument();
        throw Failure(QStringLiteral("无法建立打印文件，报告没有打印：%1").arg(reason));
    }
    file_->close();  // the name stays reserved until the document is done with

    const CupsQueue::Paper paper = this->paper();
    const OrientedPaper oriented = Oriented(paper, mode_.orientation);
    writer_ = std::make_unique<QPdfWriter>(file_->fileName());
    writer_->setResolution(dotsPerInch());
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("ruvured"));
    // The canvas starts at the first printable dot: the paper's own unprintable edge.
    writer_->setPageLayout(QPageLayout(QPageSize(paper.size, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                                       mode_.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       oriented.margins, QPageLayout::Millimeter, QMarginsF()));
    title_ = title;
    if (!painter_.begin(writer_.get())) {
        discardDocument();
        throw Failure(QStringLiteral("The print job could not be started on %1").arg(name_));
    }
}

void CupsPrinterDevice::newPage()
{
    if (!writer_->newPage())
        throw Failure(QStringLiteral("无法写出打印文件，报告没有打印"));
}

// The finished file with its text readable as the ideographs it shows.
static bool preferIdeographs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray repaired = PdfTextMap::preferIdeographs(file.readAll());
    return file.resize(0) && file.write(repaired) == repaired.size() && file.flush();
}

void CupsPrinterDevice::endDocument()
{
    CupsJob::Options options;
    const CupsQueue::Paper paper = this->paper();
    if (!paper.name.isEmpty())
        options.append({"media", paper.name});
    if (mode_.copies > 1)
        options.append({"copies", QByteArray::number(mode_.copies)});
    if (mode_.fields & DeviceMode::DM_DUPLEX)
        options.append({"sides", Sides(mode_.duplex)});
    // A queue that takes PostScript (a PDF printer such as cups-pdf among
    // them) gets the report converted by the scheduler; Ghostscript's
    // conversion turns the embedded fonts into nameless outlines, so the text
    // of a printed PDF could no longer be searched or copied. Cairo keeps it.
    options.append({QByteArray("pdftops-renderer"), QByteArray("pdftocairo")});
    const bool written = painter_.end();
    writer_.reset();
    try {
        if (!written || !preferIdeographs(file_->fileName()))
            throw Failure(QStringLiteral("无法写出打印文件，报告没有打印"));
        CupsJob::submit(name_, title_, file_->fileName(), options);
    } catch (...) {
        discardDocument();
        throw;
    }
    discardDocument();
}

void CupsPrinterDevice::abortDocument()
{
    if (!painter_.isActive())
        throw Failure(QStringLiteral("Printer is not currently printing"));
    discardDocument();
}

void CupsPrinterDevice::discardDocument()
{
    if (painter_.isActive())
        painter_.end();
    writer_.reset();
    file_.reset();  // removes the file
}
