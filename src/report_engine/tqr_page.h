#pragma once

#include "report_engine/tqr_unit_base.h"

// The page description of a report. Lengths read and write in CurrentUnit
// (the report's Units); Values order: BottomMargin, Length, TopMargin, Width,
// LeftMargin, RightMargin, ColumnSpace.
class TQRPage : public TQRUnitBase {
public:
    // Takes the regional defaults: A4 with 10 mm margins in millimetres, or
    // Letter with 0.5 inch margins in inches under the U.S. measurement setting.
    TQRPage(TQRCustomReport *report, int screenResolution = 0);

    Extended BottomMargin() const { return Get(0); }
    Extended Length() const { return Get(1); }
    Extended TopMargin() const { return Get(2); }
    Extended Width() const { return Get(3); }
    Extended LeftMargin() const { return Get(4); }
    Extended RightMargin() const { return Get(5); }
    Extended ColumnSpace() const { return Get(6); }
    void SetBottomMargin(Extended value);
    void SetLength(Extended value);  // ignored unless PaperSize is Custom
    void SetTopMargin(Extended value);
    void SetWidth(Extended value);   // ignored unless PaperSize is Custom
    void SetLeftMargin(Extended value);
    void SetRightMargin(Extended value);
    void SetColumnSpace(Extended value);

    int Columns() const { return columns_; }
    void SetColumns(int columns);  // below 1 is ignored
    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation orientation);
    TQRPaperSize PaperSize() const { return paperSize_; }
    void SetPaperSize(TQRPaperSize size);
    bool Ruler() const { return ruler_; }
    void SetRuler(bool ruler) { ruler_ = ruler; }

    // Gives the report control the paper's pixel width and length.
    void ApplySizeToControl() override;

private:
    void SetResizing(int index, Extended value);
    void SetArranging(int index, Extended value);

    int columns_ = 1;
    TPrinterOrientation orientation_ = poPortrait;
    TQRPaperSize paperSize_;
    bool ruler_ = true;
};
