#include "sample_report.h"

#include "reporting/qrreport7_layout.h"

namespace {

namespace Layout = QRReport7Layout;

QFont ArialOf(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), points);
    font.setBold(bold);
    return font;
}

}  // namespace

SampleReport::SampleReport(int screenResolution) : TQRReport(screenResolution)
{
    const int dpi = screenResolution;
    BeginLoad();
    Page().SetPaperSize(TQRPaperSize::A4);
    Page().LoadValues(Layout::PageValues);
    SetFont(QFont(QStringLiteral("Arial"), 10));
    const auto band = [&](TQRBandType type, Extended height) {
        auto *b = TQRControl::Create<TQRBand>(this, type, dpi);
        b->Size().LoadValues({height, Layout::BandWidth});
        return b;
    };
    PageHeaderBand1 = band(rbPageHeader, Layout::PageHeaderHeight);
    TitleBand1 = band(rbTitle, Layout::TitleHeight);
    DetailBand1 = band(rbDetail, Layout::DetailHeight);
    PageFooterBand1 = band(rbPageFooter, Layout::PageFooterHeight);
    const auto label = [&](TQRBand *on, const Layout::Geometry &at, const QString &caption, int points,
                           bool bold = false) {
        auto *l = TQRControl::Create<TQRLabel>(on, dpi);
        l->Size().LoadValues(at.values);
        l->SetAutoSize(false);
        l->SetFont(ArialOf(points, bold));
        l->SetCaption(caption);
        return l;
    };
    const auto rule = [&](const Layout::Geometry &at) {
        auto *s = TQRControl::Create<TQRShape>(DetailBand1, dpi);
        s->Size().LoadValues(at.values);
        s->Shape = qrsHorLine;
        return s;
    };
    const auto richText = [&](const Layout::Geometry &at) {
        auto *r = TQRControl::Create<TQRRichText>(DetailBand1, dpi);
        r->Size().LoadValues(at.values);
        r->SetFont(ArialOf(14));
        r->AutoStretch = true;
        return r;
    };
    QRLabel1 = label(PageHeaderBand1, Layout::QRLabel1, QStringLiteral("松岭县中医院"), 22, true);
    QRLabel_jlh = label(TitleBand1, Layout::QRLabel_jlh, QStringLiteral("QRLabel_jlh"), 14);
    QRShape2 = rule(Layout::QRShape2);
    QRShape1 = rule(Layout::QRShape1);
    QRShape3 = rule(Layout::QRShape3);
    QRLabel13 = label(DetailBand1, Layout::QRLabel13, QStringLiteral("检查所见："), 14, true);
    QRLabel13->SetAutoSize(true);
    QRRichText1 = richText(Layout::QRRichText1);
    QRRichText2 = richText(Layout::QRRichText2);
    QRLabel10 = label(PageFooterBand1, Layout::QRLabel10,
                      QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), 12);
    EndLoad();
}

void SampleReport::Fill(TQRRichText *richText, const QString &text)
{
    richText->ClearLines();
    richText->AddLine(text);
}
