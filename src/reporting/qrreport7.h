#pragma once

#include "report_engine/tqr_band.h"
#include "report_engine/tqr_label.h"
#include "report_engine/tqr_report.h"
#include "report_engine/tqr_rich_text.h"
#include "report_engine/tqr_shape.h"

// The diagnosis report "X线医学影像诊断报告单": A4 portrait with 10 mm
// margins, a page header, the record-number title band, the detail band and
// the page footer. Created with the windows and never shown; the report window
// fills its data elements and prints it. Building it touches no printer.
class TQRReport7 : public TQRReport {
public:
    TQRReport7();

    TQRBand *PageHeaderBand1;
    TQRBand *TitleBand1;
    TQRBand *DetailBand1;
    TQRBand *PageFooterBand1;

    TQRLabel *QRLabel1;
    TQRLabel *QRLabel2;

    TQRLabel *QRLabel3;
    TQRLabel *QRLabel_jlh;

    TQRShape *QRShape2;
    TQRLabel *QRLabel4;
    TQRLabel *QRLabel_xm;
    TQRLabel *QRLabel5;
    TQRLabel *QRLabel_xb;
    TQRLabel *QRLabel6;
    TQRLabel *QRLabel_nl;
    TQRLabel *QRLabel7;
    TQRLabel *QRLabel_ks;
    TQRLabel *QRLabel8;
    TQRLabel *QRLabel_bw;
    TQRLabel *QRLabel9;
    TQRLabel *QRLabel_zd;
    TQRShape *QRShape1;
    TQRShape *QRShape3;
    TQRLabel *QRLabel11;
    TQRLabel *QRLabel13;
    TQRLabel *QRLabel14;
    TQRLabel *QRLabel15;
    TQRLabel *QRLabel_zz;
    TQRLabel *QRLabel16;
    TQRRichText *QRRichText1;
    TQRRichText *QRRichText2;

    TQRLabel *QRLabel10;
    TQRLabel *QRLabel12;
    TQRLabel *QRLabel_rq;
};

extern TQRReport7 *QRReport7;
