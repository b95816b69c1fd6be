#pragma once

#include "report_engine/tqr_unit_base.h"

class TQRPrintable;

// Height, left, top and width of an element; left and top count from the
// top-left corner of its band (or of the paper for an element on the report).
// Values order: Height, Left, Top, Width.
class TQRPrintableSize : public TQRUnitBase {
public:
    explicit TQRPrintableSize(TQRPrintable *element, int screenResolution = 0);

    Extended Height() const { return Read(0); }
    Extended Left() const { return Read(1); }
    Extended Top() const { return Read(2); }
    Extended Width() const { return Read(3); }
    void SetHeight(Extended value) { Write(0, value); }
    void SetLeft(Extended value) { Write(1, value); }
    void SetTop(Extended value) { Write(2, value); }
    void SetWidth(Extended value) { Write(3, value); }

    // All four pixel bounds of the element from the values.
    void ApplySizeToControl() override;

private:
    Extended Read(int index) const;
    void Write(int index, Extended value);

    TQRPrintable *element_;
};
