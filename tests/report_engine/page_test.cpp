#include "report_engine/tqr_report.h"

#include <gtest/gtest.h>

namespace {

class PageTest : public ::testing::Test {
protected:
    PageTest() { report.SetUnits(TQRUnit::MM); }

    double Width() const { return double(report.Page().Width()); }
    double Length() const { return double(report.Page().Length()); }

    TQRReport report{96};
};

TEST_F(PageTest, NewReportIsA4WithTenMillimetreMargins)
{
    EXPECT_EQ(report.Page().PaperSize(), TQRPaperSize::A4);
    EXPECT_DOUBLE_EQ(Width(), 210);
    EXPECT_DOUBLE_EQ(Length(), 297);
    EXPECT_DOUBLE_EQ(double(report.Page().TopMargin()), 10);
    EXPECT_EQ(report.Page().Columns(), 1);
    // The report control follows the page: 794 x 1123 pixels at 96 per inch.
    EXPECT_EQ(report.Width(), 794);
    EXPECT_EQ(report.Height(), 1123);
}

TEST_F(PageTest, OrientationSwapsNamedPaperAndBack)
{
    report.Page().SetPaperSize(TQRPaperSize::A4);
    report.Page().SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(Width(), 297);
    EXPECT_DOUBLE_EQ(Length(), 210);
    EXPECT_EQ(report.Page().PaperSize(), TQRPaperSize::A4);
    report.Page().SetOrientation(poPortrait);
    EXPECT_DOUBLE_EQ(Width(), 210);
    EXPECT_DOUBLE_EQ(Length(), 297);
}

TEST_F(PageTest, WritesOfNamedPaperAreIgnoredAndCustomKeepsItsOwn)
{
    report.Page().SetLength(250);
    report.Page().SetWidth(100);
    EXPECT_DOUBLE_EQ(Length(), 297);
    EXPECT_DOUBLE_EQ(Width(), 210);

    report.Page().SetPaperSize(TQRPaperSize::Custom);
    report.Page().SetLength(250);
    report.Page().SetWidth(100);
    report.Page().SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(Length(), 250);
    EXPECT_DOUBLE_EQ(Width(), 100);
}

TEST_F(PageTest, PaperTableSetsSizeInTheCurrentUnit)
{
    struct Case { TQRPaperSize size; double width, length; };
    report.SetUnits(TQRUnit::Inches);
    for (const Case c : {Case{TQRPaperSize::Letter, 8.5, 11}, Case{TQRPaperSize::Note, 8.5, 279.0 / 25.4},
                         Case{TQRPaperSize::Env9, 98.43 / 25.4, 225.4 / 25.4}}) {
        report.Page().SetPaperSize(c.size);
        EXPECT_NEAR(Width(), c.width, 1e-9);
        EXPECT_NEAR(Length(), c.length, 1e-9);
        EXPECT_EQ(report.Units(), TQRUnit::Inches);  // the unit is restored
    }
    report.Page().SetPaperSize(TQRPaperSize::Default);  // keeps the size
    EXPECT_NEAR(Width(), 98.43 / 25.4, 1e-9);
}

TEST_F(PageTest, ColumnsBelowOneAreIgnored)
{
    report.Page().SetColumns(3);
    report.Page().SetColumns(0);
    report.Page().SetColumns(-2);
    EXPECT_EQ(report.Page().Columns(), 3);
}

}  // namespace
