#include "pdf_output.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

QString PdfOutput::runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfOutput::defaultQueueOutput()
{
    const QString handle = qEnvironmentVariable("RUVURED_CUPS");
    return handle.isEmpty() ? QString() : handle + QStringLiteral("/out/ruvured-pdf.pdf");
}

bool PdfOutput::waitForFile(const QString &path)
{
    // The printer writes the file in pieces; it is whole once its trailer's
    // end-of-file mark is there.
    const QDeadlineTimer deadline(30000);
    do {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.seek(qMax<qint64>(0, file.size() - 32))
            && file.readAll().trimmed().endsWith("%%EOF"))
            return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}
