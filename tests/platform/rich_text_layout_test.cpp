#include "platform/printing/print_font.h"
#include "doubles/recording_canvas.h"
#include "platform/printing/rich_text_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A 600 dots-per-inch page; one dot is 2.4 twips.
class RichTextLayoutTest : public ::testing::Test {
protected:
    RichTextLayoutTest() : canvas({600, 600, 4961, 7016, 0, 0}, drawings), painter(&canvas)
    {
        layout.setFont(QFont(QStringLiteral("Arial"), 14));
    }

    // A box at the page's top-left corner, `width` and `height` in twips.
    RichTextLayout::Request Box(int width, int height, int start = 0)
    {
        RichTextLayout::Request request;
        request.canvas = &painter;
        request.rect = {0, 0, width, height};
        request.start = start;
        return request;
    }

    // Twips of `count` Chinese characters side by side, plus a little less than one more.
    int ChineseWidth(int count) const
    {
        const QFontMetricsF metrics(PrintFont::withChineseFace(QFont(QStringLiteral("Arial"), 14)), &canvas);
        return int((count + 0.5) * metrics.horizontalAdvance(QChar(0x6C49)) * 1440 / 600);
    }

    QString Drawn() const
    {
        QString text;
        for (const RecordedDrawing &drawing : drawings) {
            if (drawing.kind == RecordedDrawing::Text)
                text += drawing.text;
        }
        return text;
    }

    std::vector<RecordedDrawing> drawings;
    RecordingCanvas canvas;
    QPainter painter;
    RichTextLayout layout;
};

TEST_F(RichTextLayoutTest, ReturnsTheFirstCharacterThatDidNotFit)
{
    const QString han(10, QChar(0x6C49));
    struct Case { const char *name; QString text; int width, height; int result; };
    const Case cases[] = {
        {"fits", "未见异常。", 10000, 10000, 5},
        {"empty text", "", 10000, 10000, 0},
        // A box always takes one line, however low it is (3 twips are one dot).
        {"one line of ten", han + han, ChineseWidth(10), 3, 10},
        // A comma never starts a line: the character before it moves down with it.
        {"comma kept off the line start", han + "，" + han, ChineseWidth(10), 3, 9},
        {"a paragraph per CR", "甲\r乙\r丙", 10000, 3, 2},
        {"an empty paragraph is a line", "\r\r丙", 10000, 3, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        layout.setText(c.text);
        EXPECT_EQ(layout.formatRange(false, Box(c.width, c.height)), c.result);
    }
}

TEST_F(RichTextLayoutTest, TextEndingExactlyAtTheBoxFits)
{
    layout.setText("甲\r乙\r丙");
    // The lowest box that takes all three lines.
    int low = 1, high = 20000;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (layout.formatRange(false, Box(10000, middle)) == 5)
            high = middle;
        else
            low = middle + 1;
    }
    EXPECT_EQ(layout.formatRange(true, Box(10000, low)), 5);
    EXPECT_EQ(Drawn(), "甲乙丙");
    EXPECT_EQ(layout.formatRange(false, Box(10000, low - 3)), 4);  // one dot less: the third line goes
}

TEST_F(RichTextLayoutTest, FailuresAnswerMinusOne)
{
    layout.setText("abc");
    RichTextLayout::Request noCanvas = Box(1000, 1000);
    noCanvas.canvas = nullptr;
    EXPECT_EQ(layout.formatRange(true, noCanvas), -1);
    EXPECT_EQ(layout.formatRange(true, Box(0, 1000)), -1);
    EXPECT_EQ(layout.formatRange(true, Box(1000, 1000, 4)), -1);
    EXPECT_TRUE(drawings.empty());
}

TEST_F(RichTextLayoutTest, LineBreaksBecomeParagraphEnds)
{
    layout.setText("a\r\nb\nc\rd");
    EXPECT_EQ(layout.text(), "a\rb\rc\rd");
    EXPECT_EQ(layout.length(), 7);
}

TEST_F(RichTextLayoutTest, PageByPageEveryCharacterOnceInOrder)
{
    QString words;
    for (int i = 0; i < 900; ++i)
        words += QString("w%1 ").arg(i);
    QString phrases;
    for (int i = 0; i < 80; ++i)
        phrases += QString("第%1条：双肺纹理增粗，未见明显实质性病变。\r").arg(i);
    struct Case { const char *name; QString text; };
    // The long paragraphs exceed what is laid out at a time.
    const Case cases[] = {{"one long Chinese paragraph", QString(6000, QChar(0x80BA))},
                          {"one long paragraph of words", words},
                          {"phrases", phrases}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        drawings.clear();
        layout.setText(c.text);
        int start = 0;
        int pages = 0;
        while (start < layout.length() && pages < 1000) {
            const int next = layout.formatRange(true, Box(ChineseWidth(30), 4000, start));
            ASSERT_GT(next, start);
            start = next;
            ++pages;
        }
        EXPECT_EQ(start, layout.length());
        EXPECT_GT(pages, 3);
        QString expected = c.text;
        expected.remove(QLatin1Char('\r'));
        expected.remove(QLatin1Char(' '));
        QString drawn = Drawn();
        drawn.remove(QLatin1Char(' '));
        EXPECT_EQ(drawn, expected);
    }
}

}  // namespace
