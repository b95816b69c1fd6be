#include "pdf_output.h"

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
    for (int i = 0; i < 300; ++i) {
        QFile file(path);
        if (file.exists() && file.size() > 0) {
            QThread::msleep(500);  // let the writer finish the file
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}
