#include "report_engine/tqr_report_bands.h"

#include "report_engine/tqr_band.h"
#include "report_engine/tqr_custom_report.h"

TQRCustomBand *TQRReportBands::BandOfType(TQRBandType type) const
{
    switch (type) {
    case rbTitle: case rbPageHeader: case rbColumnHeader:
    case rbDetail: case rbPageFooter: case rbSummary:
        break;
    default:
        return nullptr;
    }
    for (TQRCustomBand *band : report_->BandSequence()) {
        if (band->BandType() == type)
            return band;
    }
    return nullptr;
}

void TQRReportBands::Switch(TQRBandType type, bool on)
{
    TQRCustomBand *band = BandOfType(type);
    if (on && !band)
        TQRControl::Create<TQRBand>(report_, type, report_->Page().ScreenResolution());
    else if (!on)
        delete band;
}
