#pragma once

#include "report_engine/tqr_control.h"
#include "report_engine/tqr_frame.h"

// Common base of the report and its bands: a frame and a design zoom.
class TQRBasePanel : public TQRControl {
public:
    TQRFrame &Frame() { return frame_; }
    const TQRFrame &Frame() const { return frame_; }

    int Zoom() const { return zoom_; }  // percent
    // 0 is ignored; otherwise every element and panel placed here takes it.
    virtual void SetZoom(int zoom);

protected:
    void StoreZoom(int zoom) { zoom_ = zoom; }
    // Hands the zoom to the elements and panels placed on this panel.
    void PassZoomOn(int zoom);

private:
    TQRFrame frame_;
    int zoom_ = 100;
};
