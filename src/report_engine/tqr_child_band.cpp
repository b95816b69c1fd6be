#include "report_engine/tqr_child_band.h"

#include "report_engine/tqr_custom_report.h"

TQRChildBand::TQRChildBand(int screenResolution) : TQRCustomBand(rbChild, screenResolution)
{
}

bool TQRChildBand::SetParentBand(TQRCustomBand *band)
{
    for (TQRCustomBand *up = band; up;) {
        if (up == this)
            return false;
        auto *child = dynamic_cast<TQRChildBand *>(up);
        up = child ? child->parentBand_ : nullptr;
    }
    parentBand_ = band;
    if (TQRCustomReport *report = ParentReport())
        report->Rearrange();
    return true;
}

TQRCustomBand *TQRChildBand::FirstNonChildAncestor() const
{
    TQRCustomBand *up = parentBand_;
    while (auto *child = dynamic_cast<TQRChildBand *>(up))
        up = child->parentBand_;
    return up;
}
