#pragma once

#include "report_engine/tqr_control.h"
#include "report_engine/tqr_frame.h"
#include "report_engine/tqr_printable_size.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <array>

class TQRCustomBand;
class TQRCustomReport;
class TQRPrinter;

// Base of every printable element: its size in report units, its frame, its
// place on a band or directly on the report, and the protocol by which a band
// prints it: PrepareForPrint when a run starts, PrintAt at the band's origin
// on the page, PrintComplete read after each PrintAt, EndPrint when the run ends.
class TQRPrintable : public TQRControl {
public:
    // Made with Create; a new element is 10 x 10 pixels.
    explicit TQRPrintable(int screenResolution = 0);

    TQRPrintableSize &Size() { return size_; }
    const TQRPrintableSize &Size() const { return size_; }
    TQRFrame &Frame() { return frame_; }
    const TQRFrame &Frame() const { return frame_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    TAlignment Alignment() const { return alignment_; }
    virtual void SetAlignment(TAlignment alignment);
    bool AlignToBand() const { return alignToBand_; }
    void SetAlignToBand(bool align);
    QColor Color = Qt::white;
    bool Transparent = false;

    TQRCustomReport *ParentReport() const { return size_.ParentReport(); }
    // The band the element is placed on; none for an element on the report.
    TQRCustomBand *ParentBand() const;
    // The printer object of the current run; none outside runs.
    TQRPrinter *ParentPrinter() const { return printer_; }
    // All content printed; false after a print that left some for the next page.
    bool PrintComplete() const { return printComplete_; }
    // Between PrepareForPrint and EndPrint.
    bool IsPrinting() const { return printing_; }

    // True when the element is enabled.
    virtual bool ShouldPrint() const { return enabled_; }
    // Places the element against its band's left edge, right edge or centre
    // (by Alignment) when AlignToBand is set.
    virtual void SnapToBand();
    virtual void PrepareForPrint(TQRPrinter *printer);
    // Prints at the band's origin (report units from the paper's edge). The
    // base element draws only its frame.
    virtual void PrintAt(int offsetX, int offsetY);
    // 2: the band's bounds were applied (snap to it). Other codes are ignored here.
    virtual void ReportNotify(int code);
    virtual void EndPrint();
    // After the definition is loaded: the size applies itself, then a pixel
    // bound remembered while loading fills in where the size gave 0.
    virtual void AfterLoad();

    // Takes the size units and the report of the new parent.
    void SetParent(TQRControl *parent) override;
    // While loading, non-zero bounds are only remembered; otherwise pixel
    // bounds set from outside are written back to the size in pixels.
    void SetBounds(int left, int top, int width, int height) override;
    // The size object takes the zoom and re-applies itself.
    void SetZoom(int zoom);

protected:
    void Place(TQRControl *parent) override;
    // Pixel size of a new element of the class.
    virtual QSize NewSize() const { return {10, 10}; }
    void SetPrintComplete(bool complete) { printComplete_ = complete; }
    // Draws the frame's sides, if any, around a rectangle given in report units.
    // Device dots of the current page for a rectangle in report units.
    QRect DeviceRect(Extended left, Extended top, Extended right, Extended bottom) const;
    void DrawFrameAround(Extended left, Extended top, Extended right, Extended bottom) const;

private:
    bool Loading() const;

    TQRPrintableSize size_;
    TQRFrame frame_;
    bool enabled_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool alignToBand_ = false;
    bool snapping_ = false;
    TQRPrinter *printer_ = nullptr;
    bool printComplete_ = true;
    bool printing_ = false;
    std::array<int, 4> loadedBounds_{};  // left, top, width, height met while loading; 0: none
};
