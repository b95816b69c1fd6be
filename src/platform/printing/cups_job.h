#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Hands a finished PDF to a CUPS queue as one job, checking every answer of
// the scheduler: a report that is not accepted must never pass for printed.
class CupsJob {
public:
    using Options = QList<QPair<QByteArray, QByteArray>>;  // IPP job attributes, e.g. ("sides", "one-sided")

    // Throws Failure with the scheduler's own words when the queue is stopped,
    // refuses the job or loses it on the way; a job that was created is then
    // cancelled, so nothing half sent stays behind.
    static void submit(const QString &queue, const QString &title, const QString &pdfPath, const Options &options);
};
