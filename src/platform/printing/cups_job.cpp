#include "platform/printing/cups_job.h"

#include "platform/core/failure.h"
#include "platform/printing/print_log.h"

#include <QFile>
#include <cups/cups.h>
#include <memory>

namespace {

QString Refused(const QString &queue, const QString &reason)
{
    return QStringLiteral("打印机“%1”没有接受这份报告，报告没有打印：%2").arg(queue, reason);
}

QString LastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// A stopped queue would keep the job and print it whenever someone starts it
// again, long after the operator has moved on; such a report is not sent.
void RequireRunning(const QString &queue, const QByteArray &name)
{
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     name.constData());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const wanted[] = {"printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"),
                                                                &ippDelete);
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        throw Failure(Refused(queue, LastError()));
    ipp_attribute_t *state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
    if (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED) {
        ipp_attribute_t *message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
        const char *reason = message ? ippGetString(message, 0, nullptr) : nullptr;
        throw Failure(QStringLiteral("打印机“%1”已停用，报告没有打印：%2")
                          .arg(queue, reason && *reason ? QString::fromUtf8(reason) : QStringLiteral("stopped")));
    }
}

}  // namespace

void CupsJob::submit(const QString &queue, const QString &title, const QString &pdfPath, const Options &options)
{
    const QByteArray name = queue.toUtf8();
    const QByteArray jobName = title.toUtf8();
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("打印文件无法读取，报告没有打印：%1").arg(pdf.errorString()));
    // A printer found on the network gets its queue on the scheduler only
    // when it is first used; reading its capabilities sets the queue up.
    if (cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr)) {
        if (!cupsGetOption("printer-uri-supported", dest->num_options, dest->options))
            cupsFreeDestInfo(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest));
        cupsFreeDests(1, dest);
    }
    RequireRunning(queue, name);

    cups_option_t *cupsOptions = nullptr;
    int count = 0;
    for (const auto &[key, value] : options)
        count = cupsAddOption(key.constData(), value.constData(), count, &cupsOptions);
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobName.constData(), count, cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (job <= 0)
        throw Failure(Refused(queue, LastError()));

    // Nothing of a job that went wrong may print.
    const auto abandon = [&](const QString &reason) {
        if (cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0) > IPP_STATUS_OK_EVENTS_COMPLETE)
            qCWarning(lcPrint).noquote() << "cancelling job" << job << "on" << queue << "failed:" << LastError();
        throw Failure(Refused(queue, reason));
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobName.constData(), CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        abandon(LastError());
    QString failure;
    while (failure.isEmpty() && !pdf.atEnd()) {
        const QByteArray chunk = pdf.read(64 * 1024);
        if (chunk.isEmpty())
            failure = pdf.errorString();
        else if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, chunk.constData(), size_t(chunk.size()))
                 != HTTP_STATUS_CONTINUE)
            failure = LastError();
    }
    // The scheduler's verdict on the document is read even after a failed write.
    const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
    if (failure.isEmpty() && status > IPP_STATUS_OK_EVENTS_COMPLETE)
        failure = LastError();
    if (!failure.isEmpty())
        abandon(failure);
    qCDebug(lcPrint).noquote() << "job" << job << "handed to" << queue;
}
