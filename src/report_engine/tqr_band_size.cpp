#include "report_engine/tqr_band_size.h"

#include "report_engine/tqr_custom_band.h"

TQRBandSize::TQRBandSize(TQRCustomBand *band, int screenResolution)
    : TQRUnitBase({TQRAxis::Vertical, TQRAxis::Horizontal}, screenResolution), band_(band)
{
}

void TQRBandSize::SetHeight(Extended value)
{
    Set(0, value);
    ApplySizeToControl();
}

void TQRBandSize::SetWidth(Extended value)
{
    Set(1, value);
    ApplySizeToControl();
}

void TQRBandSize::ApplySizeToControl()
{
    const auto updating = UpdatingControl();
    band_->SetBounds(band_->Left(), band_->Top(), PixelsOf(1), PixelsOf(0));
}
