#pragma once

#include "report_engine/tqr_custom_band.h"

// A band whose type the definition chooses.
class TQRBand : public TQRCustomBand {
public:
    explicit TQRBand(TQRBandType type = rbTitle, int screenResolution = 0)
        : TQRCustomBand(type, screenResolution)
    {
    }

    // Re-orders and re-arranges the report's bands.
    void SetBandType(TQRBandType type) { SetBandTypeValue(type); }
};
