#pragma once

#include "report_engine/tqr_custom_band.h"

// A band printed right after its parent band.
class TQRChildBand : public TQRCustomBand {
public:
    explicit TQRChildBand(int screenResolution = 0);

    TQRCustomBand *ParentBand() const { return parentBand_; }
    // A parent band that would close a cycle is refused (returns false).
    bool SetParentBand(TQRCustomBand *band);
    // The nearest ancestor that is not a child band.
    TQRCustomBand *FirstNonChildAncestor() const;

private:
    TQRCustomBand *parentBand_ = nullptr;
};
