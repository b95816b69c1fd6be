#include "report_engine/tqr_custom_band.h"

#include "report_engine/tqr_child_band.h"
#include "report_engine/tqr_custom_report.h"

TQRCustomBand::TQRCustomBand(TQRControl *parent, TQRBandType type, int screenResolution)
    : size_(this, screenResolution), bandType_(type)
{
    SetBounds(0, 0, 0, 40);
    SetParent(parent);
}

TQRCustomBand::~TQRCustomBand()
{
    Detach();
}

bool TQRCustomBand::HasChild() const
{
    const TQRCustomReport *report = ParentReport();
    if (!report)
        return false;
    for (TQRCustomBand *band : report->BandSequence()) {
        auto *child = dynamic_cast<TQRChildBand *>(band);
        if (child && child->ParentBand() == this)
            return true;
    }
    return false;
}

void TQRCustomBand::SetHasChild(bool hasChild)
{
    TQRCustomReport *report = ParentReport();
    if (!report || hasChild == HasChild())
        return;
    if (hasChild) {
        auto *child = new TQRChildBand(report, size_.ScreenResolution());
        child->SetParentBand(this);
        return;
    }
    for (TQRCustomBand *band : report->BandSequence()) {
        auto *child = dynamic_cast<TQRChildBand *>(band);
        if (child && child->ParentBand() == this) {
            delete child;
            return;
        }
    }
}

bool TQRCustomBand::SetLinkBand(TQRCustomBand *band)
{
    for (TQRCustomBand *link = band; link; link = link->linkBand_) {
        if (link == this)
            return false;
    }
    linkBand_ = band;
    return true;
}

void TQRCustomBand::SetParent(TQRControl *parent)
{
    // A band dropped on a band lands on that band's report.
    if (auto *band = dynamic_cast<TQRCustomBand *>(parent))
        parent = band->ParentReport();
    if (parent == Parent())
        return;
    Detach();
    TQRControl::SetParent(parent);
    if (auto *report = dynamic_cast<TQRCustomReport *>(parent)) {
        size_.SetParentReport(report);
        size_.SetCurrentUnit(report->Units());
        report->InsertBand(this);
    }
}

void TQRCustomBand::SetBounds(int left, int top, int width, int height)
{
    TQRCustomReport *report = ParentReport();
    if (size_.Updating()) {
        StoreBounds(left, top, width, height);
        if (report)
            report->ArrangeBands();
        return;
    }
    if (report && report->Loading()) {
        loadedPixelHeight_ = height;
        StoreBounds(left, top, width, height);
        return;
    }
    StoreBounds(left, top, Width(), Height());
    if (height != Height()) {
        size_.SwitchToPixels();
        size_.SetHeight(height);
        size_.RestorePreviousUnit();
    }
}

void TQRCustomBand::SetZoom(int zoom)
{
    if (zoom == 0)
        return;
    TQRBasePanel::SetZoom(zoom);
    size_.SetZoom(zoom);
    size_.ApplySizeToControl();
}

void TQRCustomBand::AfterLoad()
{
    size_.AfterLoad();
    if (Height() == 40 && loadedPixelHeight_ > 0 && loadedPixelHeight_ != 40)
        SetBounds(Left(), Top(), Width(), loadedPixelHeight_);
    loadedPixelHeight_ = 0;
}

void TQRCustomBand::SetBandTypeValue(TQRBandType type)
{
    bandType_ = type;
    if (TQRCustomReport *report = ParentReport())
        report->Rearrange();
}

void TQRCustomBand::Detach()
{
    if (TQRCustomReport *report = ParentReport()) {
        size_.SetParentReport(nullptr);
        report->RemoveBand(this);
    }
}
