#include "report_engine/tqr_page.h"

#include "report_engine/tqr_custom_report.h"

TQRPage::TQRPage(TQRCustomReport *report, int screenResolution)
    : TQRUnitBase({TQRAxis::Vertical, TQRAxis::Vertical, TQRAxis::Vertical, TQRAxis::Horizontal,
                   TQRAxis::Horizontal, TQRAxis::Horizontal, TQRAxis::Horizontal},
                  screenResolution),
      paperSize_(UsesUSMeasurement() ? TQRPaperSize::Letter : TQRPaperSize::A4)
{
    SetParentReport(report);
    const TQRPaperDimensions paper = *PaperSizeTable(paperSize_);
    const Extended margin = UsesUSMeasurement() ? 127 : 100;
    LoadValues({margin, paper.Length * 10, margin, paper.Width * 10, margin, margin, 0});
}

void TQRPage::SetBottomMargin(Extended value) { SetResizing(0, value); }
void TQRPage::SetTopMargin(Extended value) { SetArranging(2, value); }
void TQRPage::SetLeftMargin(Extended value) { SetArranging(4, value); }
void TQRPage::SetRightMargin(Extended value) { SetArranging(5, value); }
void TQRPage::SetColumnSpace(Extended value) { SetArranging(6, value); }

void TQRPage::SetLength(Extended value)
{
    if (paperSize_ == TQRPaperSize::Custom)
        SetResizing(1, value);
}

void TQRPage::SetWidth(Extended value)
{
    if (paperSize_ == TQRPaperSize::Custom)
        SetResizing(3, value);
}

void TQRPage::SetColumns(int columns)
{
    if (columns <= 0 || columns == columns_)
        return;
    columns_ = columns;
    if (ParentReport())
        ParentReport()->ArrangeBands();
}

void TQRPage::SetOrientation(TPrinterOrientation orientation)
{
    orientation_ = orientation;
    SetPaperSize(paperSize_);
}

void TQRPage::SetPaperSize(TQRPaperSize size)
{
    const auto paper = PaperSizeTable(size);
    if (paper) {
        SwitchToPixels();
        SetCurrentUnit(TQRUnit::MM);
        paperSize_ = TQRPaperSize::Custom;
        const bool portrait = orientation_ == poPortrait;
        SetWidth(portrait ? paper->Width : paper->Length);
        SetLength(portrait ? paper->Length : paper->Width);
        RestorePreviousUnit();
        if (ParentReport())
            ParentReport()->ArrangeBands();
    }
    paperSize_ = size;
}

void TQRPage::ApplySizeToControl()
{
    TQRCustomReport *report = ParentReport();
    if (!report)
        return;
    const auto updating = UpdatingControl();
    report->SetBounds(report->Left(), report->Top(), PixelsOf(3), PixelsOf(1));
}

void TQRPage::SetResizing(int index, Extended value)
{
    Set(index, value);
    ApplySizeToControl();
    if (ParentReport())
        ParentReport()->ArrangeBands();
}

void TQRPage::SetArranging(int index, Extended value)
{
    Set(index, value);
    if (ParentReport())
        ParentReport()->ArrangeBands();
}
