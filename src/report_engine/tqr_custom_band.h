#pragma once

#include "report_engine/tqr_band_size.h"
#include "report_engine/tqr_base_panel.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <functional>

class TQRCustomReport;

// A band: a strip of the report with its size in report units, colour,
// break flags and print events.
class TQRCustomBand : public TQRBasePanel {
public:
    // Made with Create: placed on a report (a band places it on its own
    // report), a new band is 40 pixels high.
    explicit TQRCustomBand(TQRBandType type = rbTitle, int screenResolution = 0);
    ~TQRCustomBand() override;

    TQRBandSize &Size() { return size_; }
    const TQRBandSize &Size() const { return size_; }
    TQRBandType BandType() const { return bandType_; }
    TQRCustomReport *ParentReport() const { return size_.ParentReport(); }

    bool AlignToBottom = false;
    QColor Color = Qt::white;
    bool Enabled = true;
    QFont Font;
    bool ForceNewColumn = false;
    bool ForceNewPage = false;
    bool ParentFont = true;
    std::function<void(TQRCustomBand *sender, bool &printBand)> BeforePrint;
    std::function<void(TQRCustomBand *sender, bool bandPrinted)> AfterPrint;

    // A child band names this band as its parent band.
    bool HasChild() const;
    void SetHasChild(bool hasChild);
    // The band-fit test also counts the linked chain. A link that would close
    // a cycle is refused (returns false) and the previous link stays.
    TQRCustomBand *LinkBand() const { return linkBand_; }
    bool SetLinkBand(TQRCustomBand *band);

    void SetParent(TQRControl *parent) override;
    // A new pixel height is written to Size.Height; a new pixel width is not.
    void SetBounds(int left, int top, int width, int height) override;
    void SetZoom(int zoom) override;

    // Placement by the report's arrangement: left and top in pixels, leaving the size alone.
    void PlaceAt(int left, int top) { StoreBounds(left, top, Width(), Height()); }
    // After loading: the size applies itself; a band whose size gives exactly
    // the 40 pixels of a new band takes the pixel height stored beside it.
    void AfterLoad();

    // Band output during a run (the report's Run() calls PrintSelf through
    // EmitBand). Prints the band at the run's position: makes room, prints the
    // elements in placement order, and continues unfinished elements on the
    // next page until every one is complete; then steps the position down.
    void PrintSelf();
    // The band would still fit on the page if it grew by `amount` more report units.
    bool CanGrow(Extended amount) const;
    // Grows the band for a stretching element (see the element's printing);
    // `granted` becomes the band's extra height.
    bool GrowBand(Extended amount, Extended &granted, bool &alreadyGrown);
    // Height granted to stretching elements in the current pass, report units.
    Extended ExtraHeight() const { return extraHeight_; }
    // The band's area on the current page, device dots.
    QRect BandRect() const { return bandRect_; }
    // Own height plus the heights of the linked band chain, report units.
    Extended LinkedHeight() const;

protected:
    void Place(TQRControl *parent) override;
    void SetBandTypeValue(TQRBandType type);

private:
    void Detach();
    void EnsureRoom();
    void StepDown();
    // Prints the elements once; true when every one is complete.
    bool PrintPass(bool firstPass);
    QRect RectOnPage(Extended height) const;
    TQRCustomBand *ChildBand() const;

    TQRBandSize size_;
    TQRBandType bandType_;
    TQRCustomBand *linkBand_ = nullptr;
    int loadedPixelHeight_ = 0;
    Extended extraHeight_ = 0;
    QRect bandRect_;
    int printDepth_ = 0;  // PrintSelf calls of this band under way
};
