#include "report_engine/tqr_printable.h"

#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_printer.h"

TQRPrintable::TQRPrintable(int screenResolution) : size_(this, screenResolution)
{
}

void TQRPrintable::Place(TQRControl *parent)
{
    const QSize size = NewSize();
    SetBounds(0, 0, size.width(), size.height());
    SetParent(parent);
}

TQRCustomBand *TQRPrintable::ParentBand() const
{
    return dynamic_cast<TQRCustomBand *>(Parent());
}

bool TQRPrintable::Loading() const
{
    return ParentReport() && ParentReport()->Loading();
}

void TQRPrintable::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    SnapToBand();
}

void TQRPrintable::SetAlignToBand(bool align)
{
    alignToBand_ = align;
    SnapToBand();
}

void TQRPrintable::SnapToBand()
{
    if (!alignToBand_ || snapping_ || !Parent())
        return;
    int left = Left();
    const TQRCustomBand *band = ParentBand();
    if (alignment_ == taLeftJustify)
        left = 0;
    else if (band && alignment_ == taRightJustify)
        left = band->Width() - Width();
    else if (band)
        left = (band->Width() - Width()) / 2;
    if (left == Left())
        return;
    snapping_ = true;
    SetBounds(left, Top(), Width(), Height());
    snapping_ = false;
}

void TQRPrintable::PrepareForPrint(TQRPrinter *printer)
{
    printing_ = true;
    printer_ = printer;
}

void TQRPrintable::PrintAt(int offsetX, int offsetY)
{
    DrawFrameAround(offsetX + size_.Left(), offsetY + size_.Top(), offsetX + size_.Left() + size_.Width(),
                    offsetY + size_.Top() + size_.Height());
}

void TQRPrintable::ReportNotify(int code)
{
    if (code == 2)
        SnapToBand();
}

void TQRPrintable::EndPrint()
{
    printing_ = false;
    printer_ = nullptr;
}

void TQRPrintable::AfterLoad()
{
    size_.AfterLoad();
    int bounds[4] = {Left(), Top(), Width(), Height()};
    bool filled = false;
    for (int i = 0; i < 4; ++i) {
        if (bounds[i] == 0 && loadedBounds_[i] != 0) {
            bounds[i] = loadedBounds_[i];
            filled = true;
        }
    }
    loadedBounds_ = {};
    if (filled)
        SetBounds(bounds[0], bounds[1], bounds[2], bounds[3]);
}

QRect TQRPrintable::DeviceRect(Extended left, Extended top, Extended right, Extended bottom) const
{
    const TQRPrinter &printer = *printer_;
    const int l = printer.ToDeviceX(left);
    const int t = printer.ToDeviceY(top);
    return QRect(l, t, printer.ToDeviceX(right) - l, printer.ToDeviceY(bottom) - t);
}

void TQRPrintable::DrawFrameAround(Extended left, Extended top, Extended right, Extended bottom) const
{
    if (!frame_.HasAnySide() || !printer_)
        return;
    TQRPrinter &printer = *printer_;
    frame_.DrawFrame(printer.PageCanvas(), printer.ToDeviceX(left), printer.ToDeviceY(top), printer.ToDeviceX(right),
                     printer.ToDeviceY(bottom), printer.DotsPerUnitX(), printer.DotsPerUnitY());
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
    if (parent && !Loading())
        size_.ApplySizeToControl();
}

void TQRPrintable::SetBounds(int left, int top, int width, int height)
{
    if (size_.Updating()) {
        StoreBounds(left, top, width, height);
        return;
    }
    if (Loading()) {
        // The stored size values decide; pixels only fill in where they give 0.
        const int bounds[4] = {left, top, width, height};
        for (int i = 0; i < 4; ++i) {
            if (bounds[i] != 0)
                loadedBounds_[i] = bounds[i];
        }
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
    SnapToBand();
}

void TQRPrintable::SetZoom(int zoom)
{
    if (zoom == 0)
        return;
    size_.SetZoom(zoom);
    size_.ApplySizeToControl();
}
