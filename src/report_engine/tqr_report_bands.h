#pragma once

#include "report_engine/qr_types.h"

class TQRCustomBand;
class TQRCustomReport;

// Band presence switches of a report. Reading tells whether the band order
// holds a band of the type; switching on creates one, switching off destroys it.
class TQRReportBands {
public:
    explicit TQRReportBands(TQRCustomReport *report) : report_(report) {}

    bool HasTitle() const { return BandOfType(rbTitle); }
    bool HasPageHeader() const { return BandOfType(rbPageHeader); }
    bool HasColumnHeader() const { return BandOfType(rbColumnHeader); }
    bool HasDetail() const { return BandOfType(rbDetail); }
    bool HasPageFooter() const { return BandOfType(rbPageFooter); }
    bool HasSummary() const { return BandOfType(rbSummary); }
    void SetHasTitle(bool on) { Switch(rbTitle, on); }
    void SetHasPageHeader(bool on) { Switch(rbPageHeader, on); }
    void SetHasColumnHeader(bool on) { Switch(rbColumnHeader, on); }
    void SetHasDetail(bool on) { Switch(rbDetail, on); }
    void SetHasPageFooter(bool on) { Switch(rbPageFooter, on); }
    void SetHasSummary(bool on) { Switch(rbSummary, on); }

    // The first band of the type in the band order; none for any other type
    // than title, page header, column header, detail, page footer and summary.
    TQRCustomBand *BandOfType(TQRBandType type) const;

private:
    void Switch(TQRBandType type, bool on);

    TQRCustomReport *report_;
};
