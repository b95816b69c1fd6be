#include "platform/printing/print_font.h"
#include "report_engine/tqr_report.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// The face that draws the character at `position` of `text`.
QString FaceOf(const QFont &font, const QString &text, int position)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns(position, 1);
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

// Under the C locale fontconfig hands Chinese to the Japanese face of Noto
// CJK, whose forms of characters such as 骨 and 直 are not the Chinese ones.
TEST(ReportFontTest, ChineseTextPrintsInTheSimplifiedChineseFace)
{
    TQRReport report;
    QFont heading = report.Font();
    heading.setPointSize(22);
    heading.setBold(true);
    QFont chosen;
    chosen.setFamily("Arial");
    chosen.setPointSize(14);
    for (const QFont &font : {report.Font(), heading, PrintFont::withChineseFace(chosen)}) {
        SCOPED_TRACE(font.toString().toStdString());
        const QString text = QStringLiteral("骨A直");
        EXPECT_EQ(FaceOf(font, text, 0), "Noto Sans CJK SC");
        EXPECT_EQ(FaceOf(font, text, 1), "Liberation Sans");  // Arial's metric twin keeps the Latin text
        EXPECT_EQ(FaceOf(font, text, 2), "Noto Sans CJK SC");
    }
    EXPECT_EQ(PrintFont::withChineseFace(report.Font()).families(), report.Font().families());
}

}  // namespace
