#include "reporting/qrreport7.h"

#include "reporting/qrreport7_layout.h"

TQRReport7 *QRReport7 = nullptr;

namespace {

namespace Layout = QRReport7Layout;
using Layout::Geometry;

enum Weight { Regular, Bold };

}  // namespace

// The stored definition. Element order within a band is the order in which
// the band prints them.
TQRReport7::TQRReport7()
{
    BeginLoad();
    Page().SetPaperSize(TQRPaperSize::A4);
    Page().SetOrientation(poPortrait);
    Page().LoadValues(Layout::PageValues);
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
        b->Size().LoadValues({height, Layout::BandWidth});
        b->Color = Qt::white;
        return b;
    };
    PageHeaderBand1 = band(rbPageHeader, Layout::PageHeaderHeight);
    TitleBand1 = band(rbTitle, Layout::TitleHeight);
    DetailBand1 = band(rbDetail, Layout::DetailHeight);
    PageFooterBand1 = band(rbPageFooter, Layout::PageFooterHeight);

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

    QRLabel1 = label(PageHeaderBand1, Layout::QRLabel1,
                     QStringLiteral("松岭县中医院"), 22, Bold);
    QRLabel2 = label(PageHeaderBand1, Layout::QRLabel2,
                     QStringLiteral("X线医学影像诊断报告单"), 22, Bold);

    QRLabel3 = label(TitleBand1, Layout::QRLabel3, QStringLiteral("记录号："), 14);
    QRLabel_jlh = label(TitleBand1, Layout::QRLabel_jlh,
                        QStringLiteral("QRLabel_jlh"), 14);

    QRShape2 = rule(Layout::QRShape2);
    QRLabel4 = label(DetailBand1, Layout::QRLabel4, QStringLiteral("病人姓名："), 14);
    QRLabel_xm = label(DetailBand1, Layout::QRLabel_xm, QStringLiteral("QRLabel_xm"), 14);
    QRLabel5 = label(DetailBand1, Layout::QRLabel5, QStringLiteral("性别："), 14);
    QRLabel_xb = label(DetailBand1, Layout::QRLabel_xb, QStringLiteral("QRLabel_xb"), 14);
    QRLabel6 = label(DetailBand1, Layout::QRLabel6, QStringLiteral("年龄："), 14);
    QRLabel_nl = label(DetailBand1, Layout::QRLabel_nl, QStringLiteral("QRLabel_nl"), 14);
    QRLabel7 = label(DetailBand1, Layout::QRLabel7, QStringLiteral("送检科室："), 14);
    QRLabel_ks = label(DetailBand1, Layout::QRLabel_ks, QStringLiteral("QRLabel_ks"), 14);
    QRLabel8 = label(DetailBand1, Layout::QRLabel8, QStringLiteral("检查部位："), 14);
    QRLabel_bw = label(DetailBand1, Layout::QRLabel_bw, QStringLiteral("QRLabel_bw"), 14);
    QRLabel9 = label(DetailBand1, Layout::QRLabel9, QStringLiteral("临床诊断："), 14);
    QRLabel_zd = label(DetailBand1, Layout::QRLabel_zd, QStringLiteral("QRLabel_zd"), 14);
    QRShape1 = rule(Layout::QRShape1);
    QRShape3 = rule(Layout::QRShape3);
    QRLabel11 = label(DetailBand1, Layout::QRLabel11,
                      QStringLiteral("负责医生："), 14, Bold);
    QRLabel13 = label(DetailBand1, Layout::QRLabel13,
                      QStringLiteral("检查所见："), 14, Bold);
    QRLabel13->SetAutoSize(true);
    QRLabel14 = label(DetailBand1, Layout::QRLabel14,
                      QStringLiteral("诊断意见："), 14, Bold);
    QRLabel14->SetAutoSize(true);
    QRLabel15 = label(DetailBand1, Layout::QRLabel15, QStringLiteral("床号："), 14);
    QRLabel_zz = label(DetailBand1, Layout::QRLabel_zz, QStringLiteral("QRLabel_zz"), 14);
    QRLabel16 = label(DetailBand1, Layout::QRLabel16,
                      QStringLiteral("报告医生："), 14, Bold);
    QRRichText1 = richText(Layout::QRRichText1);
    QRRichText2 = richText(Layout::QRRichText2);

    QRLabel10 = label(PageFooterBand1, Layout::QRLabel10,
                      QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), 12);
    QRLabel12 = label(PageFooterBand1, Layout::QRLabel12,
                      QStringLiteral("报告日期："), 12);
    QRLabel_rq = label(PageFooterBand1, Layout::QRLabel_rq,
                       QStringLiteral("QRLabel_rq"), 12);
    EndLoad();
}
