#include "doubles/recording_canvas.h"
#include "report_engine/tqr_frame.h"
#include "report_engine/tqr_report.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(FrameThickness, FollowsWidthAndResolution)
{
    struct Case { int width; int dotsPerInch; int thickness; };
    const Case cases[] = {
        {1, 600, 8},   // 600 / 72 = 8.33
        {2, 300, 8},
        {1, 72, 1},
        {1, 50, 1},    // below one dot: still one
        {-1, 600, 1},  // one device pixel
        {0, 600, 0},
        {-3, 600, 0},  // nonsense width draws nothing
    };
    for (const Case c : cases) {
        TQRFrame frame;
        frame.Width = c.width;
        EXPECT_EQ(frame.SideThickness(c.dotsPerInch / 254.0L), c.thickness) << c.width << " @ " << c.dotsPerInch;
    }
}

TEST(FrameDrawing, FillsEnabledSidesInside)
{
    std::vector<RecordedDrawing> drawings;
    RecordingCanvas canvas({600, 600, 4961, 7016, 0, 0}, drawings);
    QPainter painter(&canvas);
    TQRFrame frame;
    frame.DrawTop = frame.DrawRight = true;
    frame.Style = psDot;
    frame.DrawFrame(painter, 100, 200, 500, 900, 600 / 254.0L, 600 / 254.0L);
    painter.end();
    ASSERT_EQ(drawings.size(), 2u);
    EXPECT_EQ(drawings[0].rect, QRectF(100, 200, 400, 8));
    EXPECT_EQ(drawings[1].rect, QRectF(492, 200, 8, 700));
    EXPECT_EQ(drawings[1].brush.style(), Qt::SolidPattern);
}

TEST(TextMeasure, WidthHasOnePixelMoreAndHeightIsOneLine)
{
    TQRReport report(96);
    const QFont font("Arial", 10);
    const int a = report.MeasureTextHeight(font, "A");
    EXPECT_GT(a, 10);
    EXPECT_EQ(report.MeasureTextHeight(font, "a much longer text, with descenders: gjpqy"), a);
    EXPECT_EQ(report.MeasureTextHeight(font, ""), a);
    EXPECT_EQ(report.MeasureTextWidth(font, ""), 1);
    const int one = report.MeasureTextWidth(font, "W");
    EXPECT_NEAR(report.MeasureTextWidth(font, "WW"), 2 * one - 1, 1);  // advances are fractional
    // Arial 10 at 96 per inch is 13 pixels per em; a wider font measures wider.
    EXPECT_GT(report.MeasureTextWidth(QFont("Arial", 20), "W"), one);
}

}  // namespace
