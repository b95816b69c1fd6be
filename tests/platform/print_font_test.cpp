#include "platform/printing/print_font.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// The face that draws the first character of `text` in `font`.
QString FaceOf(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

TEST(PrintFont, LatinFromTheNamedFaceChineseFromTheSimplifiedChineseFace)
{
    struct Case { QString family; QString text; QString face; };
    const Case cases[] = {
        {"Arial", "Arial 12", "Liberation Sans"},            // Arial's metrics
        {"Arial", "检查所见：", "Noto Sans CJK SC"},
        {"Arial", "，", "Noto Sans CJK SC"},                  // full-width punctuation too
        {"SimSun", "诊断意见", "Noto Serif CJK SC"},
        {"Noto Sans CJK SC", "骨", "Noto Sans CJK SC"},       // already the Chinese face
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.family.toStdString() + " " + c.text.toStdString());
        const QFont font = PrintFont::withChineseFace(QFont(c.family, 14));
        EXPECT_EQ(FaceOf(font, c.text), c.face);
        EXPECT_EQ(font.pointSize(), 14);
    }
    // Line metrics stay the named face's.
    EXPECT_EQ(QFontInfo(PrintFont::withChineseFace(QFont("Arial", 14))).family(), "Liberation Sans");
}

}  // namespace
