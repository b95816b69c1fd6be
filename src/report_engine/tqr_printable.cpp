#include "report_engine/tqr_printable.h"

#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"

TQRPrintable::TQRPrintable(TQRControl *parent, int screenResolution) : size_(this, screenResolution)
{
    SetBounds(0, 0, 10, 10);
    SetParent(parent);
}

void TQRPrintable::SetParent(TQRControl *parent)
{
    TQRControl::SetParent(parent);
    TQRCustomReport *report = dynamic_cast<TQRCustomReport *>(parent);
    if (auto *band = dynamic_cast<TQRCustomBand *>(parent))
        report = band->ParentReport();
    size_.SetParentReport(report);
    if (report)
        size_.SetCurrentUnit(report->Units());
    if (auto *panel = dynamic_cast<TQRBasePanel *>(parent))
        size_.SetZoom(panel->Zoom());
    if (parent)
        size_.ApplySizeToControl();
}

void TQRPrintable::SetBounds(int left, int top, int width, int height)
{
    if (size_.Updating()) {
        StoreBounds(left, top, width, height);
        return;
    }
    StoreBounds(left, top, width, height);
    size_.SwitchToPixels();
    if (qrRound(size_.Height()) != height)
        size_.SetHeight(height);
    if (qrRound(size_.Width()) != width)
        size_.SetWidth(width);
    if (qrRound(size_.Top()) != top)
        size_.SetTop(top);
    if (qrRound(size_.Left()) != left)
        size_.SetLeft(left);
    size_.RestorePreviousUnit();
}

void TQRPrintable::SetZoom(int zoom)
{
    if (zoom == 0)
        return;
    size_.SetZoom(zoom);
    size_.ApplySizeToControl();
}
