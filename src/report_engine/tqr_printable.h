#pragma once

#include "report_engine/tqr_control.h"
#include "report_engine/tqr_frame.h"
#include "report_engine/tqr_printable_size.h"

class TQRCustomReport;

// Base of every printable element: its size in report units, its frame and
// its place on a band or directly on the report.
class TQRPrintable : public TQRControl {
public:
    // `parent` is a band or a report; a new element is 10 x 10 pixels.
    explicit TQRPrintable(TQRControl *parent = nullptr, int screenResolution = 0);

    TQRPrintableSize &Size() { return size_; }
    const TQRPrintableSize &Size() const { return size_; }
    TQRFrame &Frame() { return frame_; }
    const TQRFrame &Frame() const { return frame_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    TQRCustomReport *ParentReport() const { return size_.ParentReport(); }

    // Takes the size units and the report of the new parent.
    void SetParent(TQRControl *parent) override;
    // Pixel bounds set from outside are written back to the size in pixels.
    void SetBounds(int left, int top, int width, int height) override;
    // The size object takes the zoom and re-applies itself.
    void SetZoom(int zoom);

private:
    TQRPrintableSize size_;
    TQRFrame frame_;
    bool enabled_ = true;
};
