#include "reporting/qrreport7.h"

TQRReport7 *QRReport7 = nullptr;

namespace {

struct Geometry {
    std::vector<Extended> values;  // Height, Left, Top, Width in report units
    QRect pixels;                  // left, top, width, height at 96 dpi, zoom 100
};

enum Weight { Regular, Bold };

}  // namespace

// The stored definition. Element order within a band is the order in which
// the band prints them.
TQRReport7::TQRReport7()
{
    BeginLoad();
    Page().SetPaperSize(TQRPaperSize::A4);
    Page().SetOrientation(poPortrait);
    Page().LoadValues({100, 2970, 100, 2100, 100, 100, 0});
    Page().SetColumns(1);
    Options = FirstPageHeader | LastPageFooter;
    SetPrintIfEmpty(true);
    SetUnits(TQRUnit::MM);
    SetZoom(100);
    SnapToGrid = true;
    SetFont(QFont(QStringLiteral("Arial"), 10));
    Frame().Color = Qt::black;
    Functions = {{QStringLiteral("PAGENUMBER"), QStringLiteral("0")},
                 {QStringLiteral("COLUMNNUMBER"), QStringLiteral("0")},
                 {QStringLiteral("REPORTTITLE"), QStringLiteral("''")}};
    PrinterSettings().Copies = 1;
    PrinterSettings().Duplex = false;
    PrinterSettings().FirstPage = 0;
    PrinterSettings().LastPage = 0;
    PrinterSettings().OutputBin = TQRBin::Auto;
    ReportTitle.clear();

    const auto band = [this](TQRBandType type, Extended height) {
        auto *b = TQRControl::Create<TQRBand>(this, type);
        b->Size().LoadValues({height, 1899.7083333333335});
        b->Color = Qt::white;
        return b;
    };
    PageHeaderBand1 = band(rbPageHeader, 240.77083333333334);
    TitleBand1 = band(rbTitle, 127.0);
    DetailBand1 = band(rbDetail, 2222.5);
    PageFooterBand1 = band(rbPageFooter, 169.33333333333334);

    const auto label = [](TQRBand *on, const Geometry &at, const QString &caption, int points,
                          Weight weight = Regular) {
        auto *l = TQRControl::Create<TQRLabel>(on);
        l->Size().LoadValues(at.values);
        l->SetBounds(at.pixels.x(), at.pixels.y(), at.pixels.width(), at.pixels.height());
        l->SetAlignment(taLeftJustify);
        l->SetAlignToBand(false);
        l->SetAutoSize(false);
        l->AutoStretch = false;
        l->SetWordWrap(true);
        l->Transparent = false;
        l->Color = Qt::white;
        QFont font(QStringLiteral("Arial"));
        font.setBold(weight == Bold);
        l->SetFont(font);
        l->SetFontSize(points);
        l->SetCaption(caption);
        return l;
    };
    const auto rule = [this](const Geometry &at) {
        auto *s = TQRControl::Create<TQRShape>(DetailBand1);
        s->Size().LoadValues(at.values);
        s->SetBounds(at.pixels.x(), at.pixels.y(), at.pixels.width(), at.pixels.height());
        s->Shape = qrsHorLine;
        return s;
    };
    const auto richText = [this](const Geometry &at) {
        auto *r = TQRControl::Create<TQRRichText>(DetailBand1);
        r->Size().LoadValues(at.values);
        r->SetBounds(at.pixels.x(), at.pixels.y(), at.pixels.width(), at.pixels.height());
        r->SetAlignment(taLeftJustify);
        r->AutoStretch = true;
        r->Color = Qt::white;
        r->SetFont(QFont(QStringLiteral("Arial"), 14));
        return r;
    };

    QRLabel1 = label(PageHeaderBand1, {{92.60, 762.00, 21.17, 552.98}, {288, 8, 209, 35}},
                     QStringLiteral("松岭县中医院"), 22, Bold);
    QRLabel2 = label(PageHeaderBand1, {{92.60, 613.83, 127.00, 849.31}, {232, 48, 321, 35}},
                     QStringLiteral("X线医学影像诊断报告单"), 22, Bold);

    QRLabel3 = label(TitleBand1, {{60.85, 63.50, 42.33, 214.31}, {24, 16, 81, 23}}, QStringLiteral("记录号："), 14);
    QRLabel_jlh = label(TitleBand1, {{60.85, 317.50, 42.33, 510.65}, {120, 16, 193, 23}},
                        QStringLiteral("QRLabel_jlh"), 14);

    QRShape2 = rule({{44.98, 42.33, 0.00, 1822.98}, {16, 0, 689, 17}});
    QRLabel4 = label(DetailBand1, {{60.85, 63.50, 63.50, 277.81}, {24, 24, 105, 23}}, QStringLiteral("病人姓名："), 14);
    QRLabel_xm = label(DetailBand1, {{60.85, 359.83, 63.50, 256.65}, {136, 24, 97, 23}}, QStringLiteral("QRLabel_xm"), 14);
    QRLabel5 = label(DetailBand1, {{60.85, 698.50, 63.50, 171.98}, {264, 24, 65, 23}}, QStringLiteral("性别："), 14);
    QRLabel_xb = label(DetailBand1, {{60.85, 889.00, 63.50, 108.48}, {336, 24, 41, 23}}, QStringLiteral("QRLabel_xb"), 14);
    QRLabel6 = label(DetailBand1, {{60.85, 1100.67, 63.50, 171.98}, {416, 24, 65, 23}}, QStringLiteral("年龄："), 14);
    QRLabel_nl = label(DetailBand1, {{60.85, 1270.00, 63.50, 108.48}, {480, 24, 41, 23}}, QStringLiteral("QRLabel_nl"), 14);
    QRLabel7 = label(DetailBand1, {{60.85, 63.50, 169.33, 277.81}, {24, 64, 105, 23}}, QStringLiteral("送检科室："), 14);
    QRLabel_ks = label(DetailBand1, {{60.85, 359.83, 169.33, 277.81}, {136, 64, 105, 23}}, QStringLiteral("QRLabel_ks"), 14);
    QRLabel8 = label(DetailBand1, {{60.85, 63.50, 275.17, 277.81}, {24, 104, 105, 23}}, QStringLiteral("检查部位："), 14);
    QRLabel_bw = label(DetailBand1, {{60.85, 359.83, 275.17, 785.81}, {136, 104, 297, 23}}, QStringLiteral("QRLabel_bw"), 14);
    QRLabel9 = label(DetailBand1, {{60.85, 698.50, 169.33, 277.81}, {264, 64, 105, 23}}, QStringLiteral("临床诊断："), 14);
    QRLabel_zd = label(DetailBand1, {{60.85, 1037.17, 169.33, 764.65}, {392, 64, 289, 23}}, QStringLiteral("QRLabel_zd"), 14);
    QRShape1 = rule({{44.98, 42.33, 338.67, 1822.98}, {16, 128, 689, 17}});
    QRShape3 = rule({{44.98, 21.17, 2201.33, 1907.65}, {8, 832, 721, 17}});
    QRLabel11 = label(DetailBand1, {{60.85, 1291.17, 2137.83, 298.98}, {488, 808, 113, 23}},
                      QStringLiteral("负责医生："), 14, Bold);
    QRLabel13 = label(DetailBand1, {{60.85, 63.50, 465.67, 280.46}, {24, 176, 106, 23}},
                      QStringLiteral("检查所见："), 14, Bold);
    QRLabel13->SetAutoSize(true);
    QRLabel14 = label(DetailBand1, {{60.85, 63.50, 1460.50, 280.46}, {24, 552, 106, 23}},
                      QStringLiteral("诊断意见："), 14, Bold);
    QRLabel14->SetAutoSize(true);
    QRLabel15 = label(DetailBand1, {{60.85, 1502.83, 63.50, 171.98}, {568, 24, 65, 23}}, QStringLiteral("床号："), 14);
    QRLabel_zz = label(DetailBand1, {{60.85, 1672.17, 63.50, 129.65}, {632, 24, 49, 23}}, QStringLiteral("QRLabel_zz"), 14);
    QRLabel16 = label(DetailBand1, {{60.85, 296.33, 2137.83, 341.31}, {112, 808, 129, 23}},
                      QStringLiteral("报告医生："), 14, Bold);
    QRRichText1 = richText({{806.98, 148.17, 550.33, 1611.31}, {56, 208, 609, 305}});
    QRRichText2 = richText({{510.65, 148.17, 1587.50, 1611.31}, {56, 600, 609, 193}});

    QRLabel10 = label(PageFooterBand1, {{50.27, 84.67, 21.17, 933.98}, {32, 8, 353, 19}},
                      QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), 12);
    QRLabel12 = label(PageFooterBand1, {{50.27, 1121.83, 21.17, 235.48}, {424, 8, 89, 19}},
                      QStringLiteral("报告日期："), 12);
    QRLabel_rq = label(PageFooterBand1, {{50.27, 1375.83, 21.17, 447.15}, {520, 8, 169, 19}},
                       QStringLiteral("QRLabel_rq"), 12);
    EndLoad();
}
