#include "report_engine/tqr_base_panel.h"

#include "report_engine/tqr_printable.h"

void TQRBasePanel::SetZoom(int zoom)
{
    if (zoom == 0)
        return;
    zoom_ = zoom;
    PassZoomOn(zoom);
}

void TQRBasePanel::PassZoomOn(int zoom)
{
    for (TQRControl *control : Controls()) {
        if (auto *element = dynamic_cast<TQRPrintable *>(control))
            element->SetZoom(zoom);
        else if (auto *panel = dynamic_cast<TQRBasePanel *>(control))
            panel->SetZoom(zoom);
    }
}
