#include "platform/core/failure.h"
#include "report_engine/tqr_band.h"
#include "report_engine/tqr_child_band.h"
#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_report.h"
#include "reporting/qrreport7_layout.h"

#include <gtest/gtest.h>

namespace {

// The diagnosis report's page and bands, set the way a stored definition is.
struct DiagnosisLayout {
    DiagnosisLayout()
    {
        report.BeginLoad();
        report.Page().LoadValues(QRReport7Layout::PageValues);
        // Created out of order on purpose: the report orders them itself.
        footer = Band(rbPageFooter, QRReport7Layout::PageFooterHeight);
        detail = Band(rbDetail, QRReport7Layout::DetailHeight);
        title = Band(rbTitle, QRReport7Layout::TitleHeight);
        header = Band(rbPageHeader, QRReport7Layout::PageHeaderHeight);
        report.EndLoad();
    }

    TQRBand *Band(TQRBandType type, Extended height)
    {
        auto *band = TQRControl::Create<TQRBand>(&report, type, 96);
        band->Size().LoadValues({height, QRReport7Layout::BandWidth});
        return band;
    }

    TQRReport report{96};
    TQRBand *footer, *detail, *title, *header;
};

TEST(BandArrangement, DiagnosisReportIsOrderedAndPlaced)
{
    DiagnosisLayout layout;
    const std::vector<TQRCustomBand *> order{layout.header, layout.title, layout.detail, layout.footer};
    EXPECT_EQ(layout.report.BandSequence(), order);
    const int tops[] = {38, 129, 177, 1017};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i]->Left(), 38);
        EXPECT_EQ(order[i]->Top(), tops[i]);
        EXPECT_EQ(order[i]->Width(), 718);
    }
    layout.report.SetUnits(TQRUnit::Native);
    EXPECT_NEAR(double(layout.detail->Size().Width()), 1899.7083333333335, 1e-9);
    EXPECT_EQ(&*layout.report.Controller().Header, layout.title);
    EXPECT_EQ(layout.report.Controller().Detail, layout.detail);
    EXPECT_EQ(layout.report.Controller().Footer, nullptr);
}

TEST(BandArrangement, ColumnsNarrowTheColumnBandsOnly)
{
    DiagnosisLayout layout;
    layout.report.SetUnits(TQRUnit::Pixels);
    layout.report.Page().SetColumnSpace(20);
    layout.report.Page().SetColumns(3);
    EXPECT_EQ(layout.detail->Width(), (718 - 2 * 20) / 3);
    EXPECT_EQ(layout.title->Width(), 718);
}

TEST(BandArrangement, MembershipFollowsParentTypeAndDestruction)
{
    DiagnosisLayout layout;
    auto *summary = TQRControl::Create<TQRBand>(layout.detail, rbSummary, 96);  // dropped on a band: lands on the report
    EXPECT_EQ(summary->Parent(), &layout.report);
    EXPECT_EQ(layout.report.BandSequence()[3], summary);
    EXPECT_EQ(layout.report.Controller().Footer, summary);

    layout.title->SetBandType(rbPageFooter);
    EXPECT_EQ(layout.report.BandSequence().front(), layout.header);
    EXPECT_EQ(layout.report.BandSequence()[1], layout.detail);
    EXPECT_EQ(layout.report.Controller().Header, nullptr);

    delete layout.detail;
    EXPECT_EQ(layout.report.BandSequence().size(), 4u);
    EXPECT_EQ(layout.report.Controller().Detail, nullptr);
    EXPECT_EQ(layout.header->Top(), 38);
    EXPECT_EQ(summary->Top(), 129);
}

// Fails when its band's bounds are applied, as a handler of a real element might.
class FailingElement : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    bool armed = true;
    void ReportNotify(int) override
    {
        if (armed)
            throw Failure(QStringLiteral("元素出错"));
    }
};

TEST(BandArrangement, AFailedArrangementLeavesTheUnitsAndArrangesAgain)
{
    DiagnosisLayout layout;
    layout.report.SetUnits(TQRUnit::Native);
    auto *element = TQRControl::Create<FailingElement>(layout.detail, 96);
    element->SetAlignToBand(true);
    EXPECT_THROW(layout.report.Page().SetLeftMargin(200), Failure);
    EXPECT_EQ(layout.report.Units(), TQRUnit::Native);
    EXPECT_EQ(layout.detail->Size().GetCurrentUnit(), TQRUnit::Native);
    EXPECT_EQ(element->Size().GetCurrentUnit(), TQRUnit::Native);

    element->armed = false;
    layout.report.Page().SetTopMargin(200);
    EXPECT_EQ(layout.detail->Left(), 76);    // 20 mm
    EXPECT_EQ(layout.detail->Width(), 681);  // 794 less 30 mm of margins
    EXPECT_EQ(layout.footer->Top(), 1055);   // 38 pixels lower than at 10 mm
}

TEST(BandArrangement, ChildBandsFollowTheirParentAndTakeItsWidthRule)
{
    DiagnosisLayout layout;
    layout.report.Page().SetColumns(2);
    layout.detail->SetHasChild(true);
    ASSERT_TRUE(layout.detail->HasChild());
    const auto &order = layout.report.BandSequence();
    auto *child = dynamic_cast<TQRChildBand *>(order[3]);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->ParentBand(), layout.detail);
    EXPECT_EQ(child->Width(), layout.detail->Width());
    EXPECT_EQ(child->Top(), layout.detail->Top() + layout.detail->Height());

    // A cycle is refused and the previous link stays.
    auto *grandchild = TQRControl::Create<TQRChildBand>(&layout.report, 96);
    ASSERT_TRUE(grandchild->SetParentBand(child));
    EXPECT_FALSE(child->SetParentBand(grandchild));
    EXPECT_EQ(child->ParentBand(), layout.detail);

    layout.detail->SetHasChild(false);
    EXPECT_FALSE(layout.detail->HasChild());
    EXPECT_EQ(grandchild->ParentBand(), nullptr);  // its parent is gone, not dangling
}

TEST(BandArrangement, LinkBandRefusesCycles)
{
    DiagnosisLayout layout;
    EXPECT_TRUE(layout.title->SetLinkBand(layout.detail));
    EXPECT_TRUE(layout.detail->SetLinkBand(layout.footer));
    EXPECT_FALSE(layout.footer->SetLinkBand(layout.title));
    EXPECT_FALSE(layout.footer->SetLinkBand(layout.footer));
    EXPECT_EQ(layout.footer->LinkBand(), nullptr);
    delete layout.footer;
    EXPECT_EQ(layout.detail->LinkBand(), nullptr);
}

TEST(BandArrangement, PresenceSwitchesCreateAndDestroyBands)
{
    TQRReport report(96);
    EXPECT_FALSE(report.Bands().HasSummary());
    report.Bands().SetHasSummary(true);
    report.Bands().SetHasPageHeader(true);
    report.Bands().SetHasSummary(true);  // already there: no second band
    ASSERT_EQ(report.BandSequence().size(), 2u);
    EXPECT_EQ(report.BandSequence()[0]->BandType(), rbPageHeader);
    EXPECT_EQ(report.Bands().BandOfType(rbOverlay), nullptr);
    report.Bands().SetHasPageHeader(false);
    EXPECT_FALSE(report.Bands().HasPageHeader());
    EXPECT_EQ(report.BandSequence().size(), 1u);
}

TEST(BandArrangement, PixelHeightWritesTheSize)
{
    TQRReport report(96);
    TQRBand &band = *TQRControl::Create<TQRBand>(&report, rbDetail, 96);
    EXPECT_EQ(band.Height(), 40);
    band.SetBounds(0, 0, 5, 96);
    report.SetUnits(TQRUnit::Native);
    EXPECT_NEAR(double(band.Size().Height()), 254, 1e-9);
    EXPECT_EQ(band.Width(), 718);  // the width stays the report's
}

TEST(BandArrangement, LoadedBandOfNewBandHeightTakesItsStoredPixels)
{
    TQRReport report(96);
    report.BeginLoad();
    auto *unsized = TQRControl::Create<TQRBand>(&report, rbTitle, 96);
    unsized->Size().LoadValues({105.83333333333333, 0});  // 40 pixels
    unsized->SetBounds(0, 0, 718, 60);
    auto *sized = TQRControl::Create<TQRBand>(&report, rbDetail, 96);
    sized->Size().LoadValues({127, 0});
    sized->SetBounds(0, 0, 718, 60);
    report.EndLoad();
    EXPECT_EQ(unsized->Height(), 60);
    EXPECT_EQ(sized->Height(), 48);
}

}  // namespace
