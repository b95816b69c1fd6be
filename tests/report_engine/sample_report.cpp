#include "sample_report.h"

namespace {

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
    Page().LoadValues({100, 2970, 100, 2100, 100, 100, 0});
    SetFont(QFont(QStringLiteral("Arial"), 10));
    const auto band = [&](TQRBandType type, Extended height) {
        auto *b = TQRControl::Create<TQRBand>(this, type, dpi);
        b->Size().LoadValues({height, 1899.7083333333335});
        return b;
    };
    PageHeaderBand1 = band(rbPageHeader, 240.77083333333334);
    TitleBand1 = band(rbTitle, 127.0);
    DetailBand1 = band(rbDetail, 2222.5);
    PageFooterBand1 = band(rbPageFooter, 169.33333333333334);
    const auto label = [&](TQRBand *on, std::vector<Extended> values, const QString &caption, int points,
                           bool bold = false) {
        auto *l = TQRControl::Create<TQRLabel>(on, dpi);
        l->Size().LoadValues(values);
        l->SetAutoSize(false);
        l->SetFont(ArialOf(points, bold));
        l->SetCaption(caption);
        return l;
    };
    const auto rule = [&](std::vector<Extended> values) {
        auto *s = TQRControl::Create<TQRShape>(DetailBand1, dpi);
        s->Size().LoadValues(values);
        s->Shape = qrsHorLine;
        return s;
    };
    const auto richText = [&](std::vector<Extended> values) {
        auto *r = TQRControl::Create<TQRRichText>(DetailBand1, dpi);
        r->Size().LoadValues(values);
        r->SetFont(ArialOf(14));
        r->AutoStretch = true;
        return r;
    };
    QRLabel1 = label(PageHeaderBand1, {92.60, 762.00, 21.17, 552.98}, QStringLiteral("松岭县中医院"), 22, true);
    QRLabel_jlh = label(TitleBand1, {60.85, 317.50, 42.33, 510.65}, QStringLiteral("QRLabel_jlh"), 14);
    QRShape2 = rule({44.98, 42.33, 0.00, 1822.98});
    QRShape1 = rule({44.98, 42.33, 338.67, 1822.98});
    QRShape3 = rule({44.98, 21.17, 2201.33, 1907.65});
    QRLabel13 = label(DetailBand1, {60.85, 63.50, 465.67, 280.46}, QStringLiteral("检查所见："), 14, true);
    QRLabel13->SetAutoSize(true);
    QRRichText1 = richText({806.98, 148.17, 550.33, 1611.31});
    QRRichText2 = richText({510.65, 148.17, 1587.50, 1611.31});
    QRLabel10 = label(PageFooterBand1, {50.27, 84.67, 21.17, 933.98},
                      QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), 12);
    EndLoad();
}

void SampleReport::Fill(TQRRichText *richText, const QString &text)
{
    richText->ClearLines();
    richText->AddLine(text);
}
