#pragma once

#include "report_engine/tqr_band.h"
#include "report_engine/tqr_label.h"
#include "report_engine/tqr_report.h"
#include "report_engine/tqr_rich_text.h"
#include "report_engine/tqr_shape.h"

// A report shaped like the diagnosis report: A4 with 10 mm margins, its page
// header, title, detail and page footer bands with their stored heights, the
// header captions, the record-number label, the three rules and the two
// stretching rich texts of the detail band, and the footer notice. The numbers
// are the diagnosis report's own (reporting/qrreport7_layout.h).
class SampleReport : public TQRReport {
public:
    explicit SampleReport(int screenResolution = 96);

    TQRBand *PageHeaderBand1;
    TQRBand *TitleBand1;
    TQRBand *DetailBand1;
    TQRBand *PageFooterBand1;
    TQRLabel *QRLabel1;
    TQRLabel *QRLabel_jlh;
    TQRShape *QRShape2;
    TQRShape *QRShape1;
    TQRShape *QRShape3;
    TQRLabel *QRLabel13;
    TQRRichText *QRRichText1;
    TQRRichText *QRRichText2;
    TQRLabel *QRLabel10;

    // Empties a rich text and adds `text` as its one line.
    static void Fill(TQRRichText *richText, const QString &text);
};
