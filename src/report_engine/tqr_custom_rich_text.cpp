#include "report_engine/tqr_custom_rich_text.h"

#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_printer.h"

#include <QPainter>

namespace {

constexpr Extended GrowthStep = 50;  // report units (5 mm)

int Twips(int dots, int dotsPerInch)
{
    return int(qint64(dots) * 1440 / dotsPerInch);
}

}  // namespace

void TQRCustomRichText::SetParentRichEdit(TQRRichEdit *edit)
{
    parentRichEdit_ = edit;
    if (edit)
        editControl_.SetLines(edit->Lines());
}

void TQRCustomRichText::SetAlignment(TAlignment alignment)
{
    editControl_.SetAlignment(alignment);
    TQRPrintable::SetAlignment(alignment);
}

void TQRCustomRichText::SetBounds(int left, int top, int width, int height)
{
    TQRPrintable::SetBounds(left, top, width, height);
    editControl_.SetBounds(QRect(1, 1, Width() - 2, Height() - 2));
}

void TQRCustomRichText::PrintAt(int offsetX, int offsetY)
{
    TQRPrinter *printer = ParentPrinter();
    if (!printer)
        return;
    TQRRichEdit &source = parentRichEdit_ ? *parentRichEdit_ : editControl_;
    if (PrintComplete())
        resumeAt_ = 0;
    QPainter &canvas = printer->PageCanvas();
    const int dpiX = canvas.device() ? canvas.device()->logicalDpiX() : 0;
    const int dpiY = canvas.device() ? canvas.device()->logicalDpiY() : 0;
    if (dpiX <= 0 || dpiY <= 0)
        return;
    const Extended left = offsetX + Size().Left();
    const Extended top = offsetY + Size().Top();
    RichTextLayout::Request request;
    request.canvas = &canvas;
    request.rect = {Twips(printer->ToDeviceX(left), dpiX), Twips(printer->ToDeviceY(top), dpiY),
                    Twips(printer->ToDeviceX(left + Size().Width()), dpiX),
                    Twips(printer->ToDeviceY(top + Size().Height()), dpiY)};
    request.start = resumeAt_;
    bool alreadyGrown = false;
    const int length = source.TextLength();

    // The box is measured first and drawn once, at its final size: drawing it
    // at every growth step would put each character into the page several times.
    resumeAt_ = source.FormatRange(false, request);
    TQRCustomBand *band = ParentBand();
    bool complete = true;
    if (resumeAt_ < length && AutoStretch && band && length > 0) {
        Extended granted = 0;
        while (resumeAt_ >= 0 && resumeAt_ < length && band->CanGrow(GrowthStep)) {
            band->GrowBand(GrowthStep, granted, alreadyGrown);
            request.rect.bottom = Twips(printer->ToDeviceY(top + Size().Height() + granted), dpiY);
            resumeAt_ = source.FormatRange(false, request);
        }
        source.FormatRange(true, request);
        resumeAt_ = source.FormatRange(false, request);
        complete = resumeAt_ >= length || resumeAt_ == -1;
        if (complete)
            resumeAt_ = length;
    } else {
        source.FormatRange(true, request);
        resumeAt_ = source.FormatRange(false, request);
        DrawFrameAround(left, top, left + Size().Width(), top + Size().Height());
    }
    SetPrintComplete(complete);
    if (complete)
        source.DropFormatCache();
}
