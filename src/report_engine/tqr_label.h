#pragma once

#include "report_engine/tqr_custom_label.h"

// A label whose text is its Caption.
class TQRLabel : public TQRCustomLabel {
public:
    using TQRCustomLabel::TQRCustomLabel;
};
