#pragma once

#include <QString>
#include <QStringList>

// Reading back what a PDF printer wrote.
namespace PdfOutput {

// Standard output of `program` with `arguments`, after it has ended.
QString runTool(const QString &program, const QStringList &arguments);

// The file the private scheduler's default queue writes each job over;
// empty when the test was not started through ctest's printing fixture.
QString defaultQueueOutput();

// Waits up to 30 s for the printer to have written `path` whole.
bool waitForFile(const QString &path);

}  // namespace PdfOutput
