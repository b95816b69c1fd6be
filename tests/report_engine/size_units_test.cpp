#include "report_engine/tqr_band.h"
#include "report_engine/tqr_report.h"

#include <gtest/gtest.h>

namespace {

constexpr double Tolerance = 1e-9;

struct PageReading {
    TQRUnit unit;
    double topMargin, length, width, leftMargin, columnSpace;
};

TEST(SizeUnits, StoredPageReadsInEveryUnit)
{
    const PageReading cases[] = {
        {TQRUnit::MM, 10, 297, 210, 10, 0},
        {TQRUnit::Native, 100, 2970, 2100, 100, 0},
        {TQRUnit::Inches, 100 / 254.0, 2970 / 254.0, 8.267716535433071, 100 / 254.0, 0},
    };
    TQRReport report(96);
    report.BeginLoad();
    report.Page().LoadValues({100, 2970, 100, 2100, 100, 100, 0});
    report.EndLoad();
    for (const PageReading &c : cases) {
        SCOPED_TRACE(int(c.unit));
        report.SetUnits(c.unit);
        EXPECT_NEAR(double(report.Page().TopMargin()), c.topMargin, Tolerance);
        EXPECT_NEAR(double(report.Page().Length()), c.length, Tolerance);
        EXPECT_NEAR(double(report.Page().Width()), c.width, Tolerance);
        EXPECT_NEAR(double(report.Page().LeftMargin()), c.leftMargin, Tolerance);
        EXPECT_NEAR(double(report.Page().ColumnSpace()), c.columnSpace, Tolerance);
    }
}

TEST(SizeUnits, WritesConvertBackToReportUnits)
{
    TQRReport report(96);
    report.SetUnits(TQRUnit::Inches);
    report.Page().SetTopMargin(1);
    report.SetUnits(TQRUnit::Pixels);
    report.Page().SetLeftMargin(96);
    report.SetUnits(TQRUnit::MM);
    report.Page().SetRightMargin(12.5);
    EXPECT_NEAR(double(report.Page().Values()[2]), 254, Tolerance);
    EXPECT_NEAR(double(report.Page().Values()[4]), 254, Tolerance);
    EXPECT_NEAR(double(report.Page().Values()[5]), 125, Tolerance);
}

struct BandPixels {
    int screenResolution;
    int height, width;
};

TEST(SizeUnits, BandPixelsRoundHalfToEven)
{
    // 113.75 and 897.5 pixels at 120 per inch: the tie goes to the even 898.
    for (const BandPixels c : {BandPixels{96, 91, 718}, BandPixels{120, 114, 898}}) {
        SCOPED_TRACE(c.screenResolution);
        TQRReport report(c.screenResolution);
        report.BeginLoad();
        auto *band = TQRControl::Create<TQRBand>(&report, rbPageHeader, c.screenResolution);
        band->Size().LoadValues({240.77083333333334, 1899.7083333333335});
        band->Size().AfterLoad();
        EXPECT_EQ(band->Height(), c.height);
        EXPECT_EQ(band->Width(), c.width);
    }
}

TEST(SizeUnits, WholeNumbersTieToEven)
{
    for (auto [value, whole] : {std::pair{2222.5L, 2222}, {240.5L, 240}, {2700.6666L, 2701},
                               {-0.5L, 0}, {3.5L, 4}}) {
        EXPECT_EQ(qrRound(value), whole) << double(value);
    }
}

QFont ArialOfPixels(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

TEST(SizeUnits, CharactersFollowTheReportFontSize)
{
    struct Case { QFont font; double width, height; };
    const Case cases[] = {
        {QFont("Arial", 10), 31.496, 57.205},
        {QFont("Arial", 20), 15.748, 28.602},
        // A height in pixels is a size in whole points: 13 pixels is 10 points, not 9.75.
        {ArialOfPixels(13), 31.496, 57.205},
        {ArialOfPixels(14), 28.633, 52.004},  // 10.5 points is 11
    };
    TQRReport report(96);
    TQRBand &band = *TQRControl::Create<TQRBand>(&report, rbDetail, 96);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.font.toString().toStdString());
        report.SetFont(c.font);
        EXPECT_NEAR(double(band.Size().FromUnit(TQRUnit::Characters, TQRAxis::Horizontal, 1)), c.width, 1e-3);
        EXPECT_NEAR(double(band.Size().FromUnit(TQRUnit::Characters, TQRAxis::Vertical, 1)), c.height, 1e-3);
    }
}

TEST(SizeUnits, PixelsFollowZoom)
{
    TQRReport report(96);
    TQRBand &band = *TQRControl::Create<TQRBand>(&report, rbDetail, 96);
    band.Size().LoadValues({254, 0});
    report.SetZoom(200);
    EXPECT_EQ(band.Height(), 192);
    report.SetZoom(301);  // out of range: ignored
    report.SetZoom(0);
    EXPECT_EQ(report.Zoom(), 200);
    EXPECT_EQ(band.Height(), 192);
}

}  // namespace
