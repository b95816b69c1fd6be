#include "platform/printing/print_font.h"

#include "glyph_face.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

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
        EXPECT_EQ(GlyphFace::of(font, c.text), c.face);
        EXPECT_EQ(font.pointSize(), 14);
    }
    // Line metrics stay the named face's.
    EXPECT_EQ(QFontInfo(PrintFont::withChineseFace(QFont("Arial", 14))).family(), "Liberation Sans");
}

// The installed face a name stands for is looked up once per name and style
// hint: a face not installed falls back by its hint, so the hint must keep
// serif and sans apart, while size and weight must not matter.
TEST(PrintFont, NamesResolveByStyleHintWhateverTheSizeAndWeight)
{
    QFont serif(QStringLiteral("NoSuchFaceAnywhere"), 10);
    serif.setStyleHint(QFont::Serif);
    QFont sans(QStringLiteral("NoSuchFaceAnywhere"), 10);
    sans.setStyleHint(QFont::SansSerif);
    const QString serifFace = QFontInfo(serif).family();
    const QString sansFace = QFontInfo(sans).family();
    ASSERT_NE(serifFace, sansFace);
    EXPECT_EQ(GlyphFace::of(PrintFont::withChineseFace(serif), "Aa"), serifFace);
    EXPECT_EQ(GlyphFace::of(PrintFont::withChineseFace(sans), "Aa"), sansFace);
    EXPECT_EQ(GlyphFace::of(PrintFont::withChineseFace(serif), "诊"), "Noto Serif CJK SC");

    QFont large(QStringLiteral("Arial"), 22);
    large.setBold(true);
    const QFont printed = PrintFont::withChineseFace(large);
    EXPECT_EQ(GlyphFace::of(printed, "X"), "Liberation Sans");
    EXPECT_EQ(printed.pointSize(), 22);
    EXPECT_TRUE(printed.bold());
}

}  // namespace
