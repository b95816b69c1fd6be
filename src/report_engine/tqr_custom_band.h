#pragma once

#include "report_engine/tqr_band_size.h"
#include "report_engine/tqr_base_panel.h"

#include <QColor>
#include <QFont>
#include <functional>

class TQRCustomReport;

// A band: a strip of the report with its size in report units, colour,
// break flags and print events.
class TQRCustomBand : public TQRBasePanel {
public:
    // `parent` is the report (a band places it on its own report).
    // A new band is 40 pixels high.
    explicit TQRCustomBand(TQRControl *parent = nullptr, TQRBandType type = rbTitle,
                           int screenResolution = 0);
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

protected:
    void SetBandTypeValue(TQRBandType type);

private:
    void Detach();

    TQRBandSize size_;
    TQRBandType bandType_;
    TQRCustomBand *linkBand_ = nullptr;
    int loadedPixelHeight_ = 0;
};
