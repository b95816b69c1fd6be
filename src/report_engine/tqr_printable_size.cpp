#include "report_engine/tqr_printable_size.h"

#include "report_engine/tqr_base_panel.h"
#include "report_engine/tqr_printable.h"

TQRPrintableSize::TQRPrintableSize(TQRPrintable *element, int screenResolution)
    : TQRUnitBase({TQRAxis::Vertical, TQRAxis::Horizontal, TQRAxis::Vertical, TQRAxis::Horizontal},
                  screenResolution),
      element_(element)
{
}

void TQRPrintableSize::ApplySizeToControl()
{
    const auto updating = UpdatingControl();
    element_->SetBounds(PixelsOf(1), PixelsOf(2), PixelsOf(3), PixelsOf(0));
}

Extended TQRPrintableSize::Read(int index) const
{
    Extended value = Get(index);
    // Pixel reads follow the zoom of the panel the element sits on as well.
    const auto *panel = dynamic_cast<const TQRBasePanel *>(element_->Parent());
    if (GetCurrentUnit() == TQRUnit::Pixels && panel)
        value = value * panel->Zoom() / 100;
    return value;
}

void TQRPrintableSize::Write(int index, Extended value)
{
    Set(index, value);
    ApplySizeToControl();
}
