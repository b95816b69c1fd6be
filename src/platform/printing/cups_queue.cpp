#include "platform/printing/cups_queue.h"

#include <QPageSize>
#include <cups/cups.h>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using Response = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

constexpr std::array<const char *, 11> Wanted{
    "printer-make-and-model", "printer-location", "device-uri", "media-supported", "media-default",
    "media-col-database", "media-col-default", "printer-resolution-default", "printer-resolution-supported",
    "sides-supported", "sides-default"};

// Sizes within half a millimetre are the same paper: PPDs round sizes to points.
constexpr int SameSize = 50;  // hundredths of a millimetre

Response Ask(http_t *http, const char *uri, const char *resource)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(Wanted.size()),
                  nullptr, Wanted.data());
    ipp_t *response = cupsDoRequest(http, request, resource);
    if (response && ippGetStatusCode(response) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(response);
        response = nullptr;
    }
    return {response, &ippDelete};
}

// The printer behind a queue without PPD, asked at its own address.
Response AskDevice(const char *deviceUri)
{
    if (!*deviceUri)
        return {nullptr, &ippDelete};
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceUri, scheme, sizeof scheme, user, sizeof user, host,
                        sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return {nullptr, &ippDelete};
    const bool secure = !strcmp(scheme, "ipps");
    if (!secure && strcmp(scheme, "ipp"))
        return {nullptr, &ippDelete};
    http_t *http = httpConnect2(host, port, nullptr, AF_UNSPEC,
                                secure ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http)
        return {nullptr, &ippDelete};
    Response response = Ask(http, deviceUri, resource);
    httpClose(http);
    return response;
}

QString Text(ipp_t *response, const char *name)
{
    ipp_attribute_t *attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
    const char *text = attribute ? ippGetString(attribute, 0, nullptr) : nullptr;
    return text ? QString::fromUtf8(text) : QString();
}

int Integer(ipp_t *collection, const char *name)
{
    ipp_attribute_t *attribute = ippFindAttribute(collection, name, IPP_TAG_INTEGER);
    return attribute ? ippGetInteger(attribute, 0) : 0;
}

int Code(QSizeF millimetres)
{
    const QPageSize::PageSizeId id = QPageSize::id(millimetres, QPageSize::Millimeter, QPageSize::FuzzyMatch);
    return id == QPageSize::Custom ? 0 : QPageSize::windowsId(id);
}

// A paper of a media collection ("media-col-database" and "media-col-default").
std::optional<CupsQueue::Paper> FromCollection(ipp_t *collection)
{
    ipp_attribute_t *sizeAttribute = ippFindAttribute(collection, "media-size", IPP_TAG_BEGIN_COLLECTION);
    ipp_t *size = sizeAttribute ? ippGetCollection(sizeAttribute, 0) : nullptr;
    if (!size || Integer(size, "x-dimension") <= 0 || Integer(size, "y-dimension") <= 0)
        return std::nullopt;  // a range of custom sizes
    CupsQueue::Paper paper;
    paper.size = QSizeF(Integer(size, "x-dimension"), Integer(size, "y-dimension")) / 100;
    paper.margins = QMarginsF(Integer(collection, "media-left-margin"), Integer(collection, "media-top-margin"),
                              Integer(collection, "media-right-margin"),
                              Integer(collection, "media-bottom-margin")) / 100;
    paper.code = Code(paper.size);
    ipp_attribute_t *name = ippFindAttribute(collection, "media-size-name", IPP_TAG_ZERO);
    if (name && ippGetString(name, 0, nullptr))
        paper.name = ippGetString(name, 0, nullptr);
    return paper;
}

std::optional<CupsQueue::Paper> FromName(const char *name)
{
    const pwg_media_t *media = name ? pwgMediaForPWG(name) : nullptr;
    if (!media)
        media = name ? pwgMediaForLegacy(name) : nullptr;
    if (!media || media->width <= 0 || media->length <= 0)
        return std::nullopt;
    CupsQueue::Paper paper;
    paper.name = media->pwg;
    paper.size = QSizeF(media->width, media->length) / 100;
    paper.code = Code(paper.size);
    return paper;
}

bool SameSizeAs(const CupsQueue::Paper &a, const CupsQueue::Paper &b)
{
    return std::abs(a.size.width() - b.size.width()) * 100 < SameSize
        && std::abs(a.size.height() - b.size.height()) * 100 < SameSize;
}

QList<CupsQueue::Paper> Collections(ipp_t *response, const char *name)
{
    QList<CupsQueue::Paper> papers;
    ipp_attribute_t *attribute = ippFindAttribute(response, name, IPP_TAG_BEGIN_COLLECTION);
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
        if (const auto paper = FromCollection(ippGetCollection(attribute, i)))
            papers.append(*paper);
    }
    return papers;
}

// A named paper takes the imageable area the queue lists for its size, or
// else that of the default paper.
CupsQueue::Paper WithMargins(CupsQueue::Paper paper, const QList<CupsQueue::Paper> &database,
                             const QMarginsF &fallback)
{
    paper.margins = fallback;
    for (const CupsQueue::Paper &entry : database) {
        if (SameSizeAs(entry, paper)) {
            paper.margins = entry.margins;
            break;
        }
    }
    return paper;
}

int DotsPerInch(ipp_t *response)
{
    ipp_attribute_t *attribute = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION);
    if (!attribute)
        attribute = ippFindAttribute(response, "printer-resolution-supported", IPP_TAG_RESOLUTION);
    if (!attribute)
        return 0;
    int vertical = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int horizontal = ippGetResolution(attribute, 0, &vertical, &units);
    return units == IPP_RES_PER_CM ? qRound(horizontal * 2.54) : horizontal;
}

}  // namespace

CupsQueue CupsQueue::read(const QString &name)
{
    CupsQueue queue;
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     name.toUtf8().constData());
    Response response = Ask(CUPS_HTTP_DEFAULT, uri, "/");
    QByteArray deviceUri;
    if (response) {
        queue.makeAndModel = Text(response.get(), "printer-make-and-model");
        queue.location = Text(response.get(), "printer-location");
        deviceUri = Text(response.get(), "device-uri").toUtf8();
    } else if (cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr)) {
        // A printer found on the network has no queue on the scheduler until
        // its first job; until then only the printer can tell.
        deviceUri = cupsGetOption("device-uri", dest->num_options, dest->options);
        cupsFreeDests(1, dest);
    }
    if (!response || !ippFindAttribute(response.get(), "media-supported", IPP_TAG_ZERO)) {
        if (Response device = AskDevice(deviceUri.constData()))
            response = std::move(device);
    }
    ipp_t *attributes = response.get();
    if (!attributes)
        return queue;

    const QList<Paper> database = Collections(attributes, "media-col-database");
    const QList<Paper> defaults = Collections(attributes, "media-col-default");
    const QMarginsF defaultMargins = defaults.isEmpty() ? QMarginsF() : defaults.first().margins;
    ipp_attribute_t *supported = ippFindAttribute(attributes, "media-supported", IPP_TAG_ZERO);
    for (int i = 0; supported && i < ippGetCount(supported); ++i) {
        const char *media = ippGetString(supported, i, nullptr);
        if (media && !strncmp(media, "custom_m", 8))
            queue.customSizes = true;
        else if (const auto paper = FromName(media))
            queue.papers.append(WithMargins(*paper, database, defaultMargins));
    }
    const QByteArray defaultName = Text(attributes, "media-default").toUtf8();
    if (const auto paper = FromName(defaultName.constData()))
        queue.defaultPaper = WithMargins(*paper, database, defaultMargins);
    else if (!defaults.isEmpty())
        queue.defaultPaper = defaults.first();

    queue.dotsPerInch = DotsPerInch(attributes);
    ipp_attribute_t *sides = ippFindAttribute(attributes, "sides-supported", IPP_TAG_KEYWORD);
    queue.twoSided = sides && ippGetCount(sides) > 1;
    queue.sidesDefault = Text(attributes, "sides-default").toUtf8();
    return queue;
}

const CupsQueue::Paper *CupsQueue::find(int code) const
{
    for (const Paper &paper : papers) {
        if (paper.code == code)
            return &paper;
    }
    return nullptr;
}
