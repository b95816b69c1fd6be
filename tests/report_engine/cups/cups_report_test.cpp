#include "../sample_report.h"
#include "pdf_output.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString WithoutBlanks(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

// The report goes to the default printer of the private scheduler, a PDF
// printer: findings that run over three pages come out as three A4 pages whose
// text holds every character of the findings once, in order.
TEST(CupsReport, FindingsOverThreePages)
{
    const QString output = PdfOutput::defaultQueueOutput();
    ASSERT_FALSE(output.isEmpty()) << "run through ctest: the fixture starts the scheduler";
    QFile::remove(output);

    QString findings;
    for (int i = 1; i <= 29; ++i)
        findings += QString("%1. 双肺纹理增粗，右下肺见斑片状模糊影（约%2mm）。\r").arg(i).arg(i * 3);
    SampleReport report;
    for (TQRLabel *label : {report.QRLabel1, report.QRLabel_jlh, report.QRLabel13, report.QRLabel10})
        label->SetCaption(QString());
    SampleReport::Fill(report.QRRichText1, findings);
    SampleReport::Fill(report.QRRichText2, QString());
    report.PrintToPrinter();

    ASSERT_TRUE(PdfOutput::waitForFile(output)) << "no PDF came out of the printer";
    const QString info = PdfOutput::runTool("pdfinfo", {output});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts")))
        << info.toStdString();
    const QString text = PdfOutput::runTool("pdftotext", {"-enc", "UTF-8", output, "-"});
    const QString read = WithoutBlanks(text);
    const QString written = WithoutBlanks(findings);
    EXPECT_EQ(read, written);
}

}  // namespace
