#pragma once

#include "report_engine/tqr_unit_base.h"

class TQRCustomBand;

// Height and width of a band. Values order: Height, Width.
class TQRBandSize : public TQRUnitBase {
public:
    explicit TQRBandSize(TQRCustomBand *band, int screenResolution = 0);

    Extended Height() const { return Get(0); }
    Extended Width() const { return Get(1); }
    void SetHeight(Extended value);
    // The report sets the width when it arranges its bands.
    void SetWidth(Extended value);

    // Pixel width and height from the values; the band keeps its left and top.
    void ApplySizeToControl() override;

private:
    TQRCustomBand *band_;
};
