#include "pdf_output.h"
#include "platform/core/convert.h"
#include "reporting/qrreport7.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <cmath>

namespace {

// Report units (0.1 mm) to PDF points.
double points(double units)
{
    return units * 72 / 254;
}

struct Word {
    QString text;
    double xMin, yMin, yMax;

    // pdftotext boxes a word from its face's ascent to its descent; both faces
    // of the report put the baseline at 81% of that height (Liberation Sans
    // 905 of 1117, Noto Sans CJK 1160 of 1440).
    double baseline() const { return yMin + 0.81 * (yMax - yMin); }
};

// The words of `pdf` with their boxes in points from the page's top left.
QList<Word> wordsOf(const QString &pdf)
{
    const QString html = PdfOutput::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(html))
        words.append({m.captured(4), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()});
    return words;
}

// One A4 report through the scheduler's default PDF printer: one page, every
// label's text within 0.5 mm of where its band and box put it, and the page
// at 150 dpi looking like the reference picture.
TEST(DiagnosisReportOnCups, OneA4PageAsTheLayoutPutsIt)
{
    const QString output = PdfOutput::defaultQueueOutput();
    ASSERT_FALSE(output.isEmpty()) << "run through ctest: the fixture starts the scheduler";
    QFile::remove(output);

    const QString date = Convert::dateToStr(QDate(2006, 3, 5));
    TQRReport7 report;
    report.QRLabel_jlh->SetCaption(QStringLiteral("2006030501"));
    report.QRLabel_xm->SetCaption(QStringLiteral("张三"));
    report.QRLabel_xb->SetCaption(QStringLiteral("男"));
    report.QRLabel_nl->SetCaption(QStringLiteral("45"));
    report.QRLabel_ks->SetCaption(QStringLiteral("内科"));
    report.QRLabel_bw->SetCaption(QStringLiteral("胸部正位"));
    report.QRLabel_zd->SetCaption(QStringLiteral("咳嗽待查"));
    report.QRLabel_rq->SetCaption(date);
    report.QRLabel_zz->SetCaption(QStringLiteral("12"));
    report.QRRichText1->ClearLines();
    report.QRRichText1->AddLine(QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。\r"
                                               "双肺门影不大，纵隔居中，心影大小、形态未见异常。\r"
                                               "两膈面光整，肋膈角锐利。\r"));
    report.QRRichText2->ClearLines();
    report.QRRichText2->AddLine(QStringLiteral("心肺膈未见明显异常。\r"));
    report.PrintToPrinter();

    ASSERT_TRUE(PdfOutput::waitForFile(output)) << "no PDF came out of the printer";
    const QString info = PdfOutput::runTool(QStringLiteral("pdfinfo"), {output});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts"))) << info.toStdString();

    // Band tops on the page (report units from the paper's top) and the box of each label.
    const double header = 100, title = 341, detail = 468, footer = 2701, left = 100;
    const struct {
        QString text;
        double bandY, x, y, points;  // the box's left and top in its band; the font size
    } labels[] = {
        {QStringLiteral("松岭县中医院"), header, 762.00, 21.17, 22},
        {QStringLiteral("X线医学影像诊断报告单"), header, 613.83, 127.00, 22},
        {QStringLiteral("记录号："), title, 63.50, 42.33, 14},
        {QStringLiteral("2006030501"), title, 317.50, 42.33, 14},
        {QStringLiteral("病人姓名："), detail, 63.50, 63.50, 14},
        {QStringLiteral("张三"), detail, 359.83, 63.50, 14},
        {QStringLiteral("性别："), detail, 698.50, 63.50, 14},
        {QStringLiteral("男"), detail, 889.00, 63.50, 14},
        {QStringLiteral("年龄："), detail, 1100.67, 63.50, 14},
        {QStringLiteral("45"), detail, 1270.00, 63.50, 14},
        {QStringLiteral("床号："), detail, 1502.83, 63.50, 14},
        {QStringLiteral("12"), detail, 1672.17, 63.50, 14},
        {QStringLiteral("送检科室："), detail, 63.50, 169.33, 14},
        {QStringLiteral("内科"), detail, 359.83, 169.33, 14},
        {QStringLiteral("临床诊断："), detail, 698.50, 169.33, 14},
        {QStringLiteral("咳嗽待查"), detail, 1037.17, 169.33, 14},
        {QStringLiteral("检查部位："), detail, 63.50, 275.17, 14},
        {QStringLiteral("胸部正位"), detail, 359.83, 275.17, 14},
        {QStringLiteral("检查所见："), detail, 63.50, 465.67, 14},
        {QStringLiteral("诊断意见："), detail, 63.50, 1460.50, 14},
        {QStringLiteral("报告医生："), detail, 296.33, 2137.83, 14},
        {QStringLiteral("负责医生："), detail, 1291.17, 2137.83, 14},
        {QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), footer, 84.67, 21.17, 12},
        {QStringLiteral("报告日期："), footer, 1121.83, 21.17, 12},
        {date, footer, 1375.83, 21.17, 12},
    };
    const double tolerance = points(5);  // 0.5 mm
    const QList<Word> words = wordsOf(output);
    for (const auto &label : labels) {
        SCOPED_TRACE(label.text.toStdString());
        const auto found = std::find_if(words.begin(), words.end(), [&](const Word &w) {
            return w.text == label.text;
        });
        ASSERT_NE(found, words.end());
        EXPECT_NEAR(found->xMin, points(left + label.x), tolerance);
        // The first line's baseline lies one ascent of Liberation Sans below the box's top.
        EXPECT_NEAR(found->baseline(), points(label.bandY + label.y) + 0.905 * label.points, tolerance);
    }

    // The page as it looks, against the picture checked by eye when the layout was made.
    const QString rendered = QFileInfo(output).absolutePath() + "/diagnosis_report_150dpi";
    QFile::remove(rendered + ".png");
    PdfOutput::runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                                                    QStringLiteral("-singlefile"), output, rendered});
    QProcess compare;
    compare.start(QStringLiteral("compare"), {QStringLiteral("-metric"), QStringLiteral("AE"), QStringLiteral("-fuzz"),
                                              QStringLiteral("10%"), QStringLiteral(REFERENCE_PAGE),
                                              rendered + ".png", QStringLiteral("null:")});
    compare.waitForFinished(60000);
    const QString differing = QString::fromUtf8(compare.readAllStandardError()).trimmed();
    bool isNumber = false;
    const double pixels = differing.toDouble(&isNumber);
    ASSERT_TRUE(isNumber) << differing.toStdString();
    // Of 1240 x 1755 pixels, a few hundred may differ by anti-aliasing.
    EXPECT_LT(pixels, 500) << "rendered page: " << rendered.toStdString() << ".png";
}

}  // namespace
