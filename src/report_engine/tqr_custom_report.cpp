#include "report_engine/tqr_custom_report.h"

#include "report_engine/tqr_child_band.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_print_run.h"
#include "report_engine/tqr_printer.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

namespace {

bool TakesFullWidth(TQRBandType type)
{
    switch (type) {
    case rbDetail: case rbGroupHeader: case rbGroupFooter: case rbSubDetail: case rbColumnHeader:
        return false;
    default:
        return true;
    }
}

}  // namespace

TQRCustomReport::TQRCustomReport(int screenResolution)
    : page_(this, screenResolution),
      bands_(this),
      controller_(std::make_unique<TQRCustomController>(this))
{
    Functions = {{"PAGENUMBER", "0"}, {"COLUMNNUMBER", "0"}, {"REPORTTITLE", "''"}};
    const bool japanese = QLocale::system().language() == QLocale::Japanese;
    font_ = PrintFont::withChineseFace(japanese && qGuiApp ? QGuiApplication::font() : QFont("Arial", 10));
    page_.ApplySizeToControl();
}

void TQRCustomReport::TakeDefaultPrinterPaper()
{
    const TQRPrinter printer;
    page_.SetPaperSize(printer.PrinterPaperSize());
}

TQRCustomReport::~TQRCustomReport()
{
    destroying_ = true;
    DestroyControls();
}

Extended TQRCustomReport::FontPoints() const
{
    if (font_.pointSizeF() > 0)
        return font_.pointSizeF();
    // A font given by its pixel height has a size in whole points, rounded
    // half away from zero: 13 pixels at 96 per inch is a 10-point font.
    return std::lround(std::abs(font_.pixelSize()) * 72.0L / 96);
}

void TQRCustomReport::SetUnits(TQRUnit unit)
{
    page_.SetCurrentUnit(unit);
    WalkTree([unit](TQRCustomBand *band) { band->Size().SetCurrentUnit(unit); },
             [unit](TQRPrintable *element) { element->Size().SetCurrentUnit(unit); });
}

void TQRCustomReport::SetZoom(int zoom)
{
    if (zoom < 1 || zoom > 300)
        return;
    StoreZoom(zoom);
    PassZoomOn(zoom);
    page_.SetZoom(zoom);
    page_.ApplySizeToControl();
    ArrangeBands();
}

void TQRCustomReport::EndLoad()
{
    loading_ = false;
    page_.AfterLoad();
    WalkTree([](TQRCustomBand *band) { band->AfterLoad(); }, [](TQRPrintable *element) { element->AfterLoad(); });
    Rearrange();
}

void TQRCustomReport::AssignControllerBands()
{
    controller_->Header = bands_.BandOfType(rbTitle);
    controller_->Detail = bands_.BandOfType(rbDetail);
    controller_->Footer = bands_.BandOfType(rbSummary);
}

std::vector<TQRCustomBand *> TQRCustomReport::ChildChain(TQRCustomBand *band) const
{
    std::vector<TQRCustomBand *> chain;
    for (TQRCustomBand *candidate : bandSequence_) {
        auto *child = dynamic_cast<TQRChildBand *>(candidate);
        if (child && child->ParentBand() == band) {
            chain.push_back(child);
            const auto below = ChildChain(child);
            chain.insert(chain.end(), below.begin(), below.end());
        }
    }
    return chain;
}

void TQRCustomReport::OrderBands()
{
    if (loading_ || destroying_)
        return;
    AssignControllerBands();
    std::vector<TQRCustomBand *> ordered;
    const auto append = [&](TQRCustomBand *band) {
        if (!band || std::find(ordered.begin(), ordered.end(), band) != ordered.end())
            return;
        ordered.push_back(band);
        for (TQRCustomBand *child : ChildChain(band)) {
            if (std::find(ordered.begin(), ordered.end(), child) == ordered.end())
                ordered.push_back(child);
        }
    };
    const auto appendType = [&](TQRBandType type) {
        for (TQRCustomBand *band : bandSequence_) {
            if (band->BandType() == type)
                append(band);
        }
    };
    appendType(rbPageHeader);
    appendType(rbTitle);
    appendType(rbColumnHeader);
    append(controller_->Header);
    append(controller_->Detail);
    append(controller_->Footer);
    appendType(rbPageFooter);
    for (TQRCustomBand *band : bandSequence_)
        append(band);
    bandSequence_ = std::move(ordered);
}

void TQRCustomReport::ArrangeBands()
{
    if (loading_ || destroying_ || arranging_)
        return;
    // Placing a band resizes it, which would arrange the bands again. However
    // the arrangement ends, every size reads in its own unit again.
    const QScopedValueRollback<bool> arranging(arranging_, true);
    const auto units = qScopeGuard([this, saved = Units()] { SetUnits(saved); });
    SetUnits(TQRUnit::Pixels);
    int y = qrRound(page_.TopMargin());
    const int left = qrRound(page_.LeftMargin());
    const int fullWidth = Width() - qrRound(page_.LeftMargin() + page_.RightMargin());
    const int columns = page_.Columns();
    const int columnWidth = (fullWidth - qrRound(page_.ColumnSpace()) * (columns - 1)) / columns;
    for (TQRCustomBand *band : bandSequence_) {
        band->PlaceAt(left, y);
        y += band->Height();
        TQRBandType type = band->BandType();
        if (auto *child = dynamic_cast<TQRChildBand *>(band)) {
            const TQRCustomBand *ancestor = child->FirstNonChildAncestor();
            type = ancestor ? ancestor->BandType() : rbTitle;
        }
        band->Size().SetWidth(TakesFullWidth(type) ? fullWidth : columnWidth);
    }
}

int TQRCustomReport::MeasureTextWidth(const QFont &font, const QString &text) const
{
    const auto extent = measure_.Extent(font, text);
    return extent ? extent->width() + 1 : 0;
}

int TQRCustomReport::MeasureTextHeight(const QFont &font, const QString &) const
{
    const auto extent = measure_.Extent(font, QStringLiteral("A"));
    return extent ? extent->height() : 0;
}

void TQRCustomReport::InsertBand(TQRCustomBand *band)
{
    if (std::find(bandSequence_.begin(), bandSequence_.end(), band) != bandSequence_.end())
        return;
    bandSequence_.push_back(band);
    band->SetZoom(Zoom());
    Rearrange();
}

void TQRCustomReport::RemoveBand(TQRCustomBand *band)
{
    bandSequence_.erase(std::remove(bandSequence_.begin(), bandSequence_.end(), band), bandSequence_.end());
    // Links to a band that is gone would dangle; they are dropped with it.
    for (TQRCustomBand *other : bandSequence_) {
        if (other->LinkBand() == band)
            other->SetLinkBand(nullptr);
        auto *child = dynamic_cast<TQRChildBand *>(other);
        if (child && child->ParentBand() == band)
            child->SetParentBand(nullptr);
    }
    for (TQRCustomBand **slot : {&controller_->Header, &controller_->Detail, &controller_->Footer}) {
        if (*slot == band)
            *slot = nullptr;
    }
    Rearrange();
}

void TQRCustomReport::SetController(std::unique_ptr<TQRCustomController> controller)
{
    controller_ = std::move(controller);
}

void TQRCustomReport::WalkTree(const std::function<void(TQRCustomBand *)> &onBand,
                               const std::function<void(TQRPrintable *)> &onElement) const
{
    for (TQRControl *control : Controls()) {
        if (auto *band = dynamic_cast<TQRCustomBand *>(control)) {
            onBand(band);
            for (TQRControl *onIt : band->Controls()) {
                if (auto *element = dynamic_cast<TQRPrintable *>(onIt))
                    onElement(element);
            }
        } else if (auto *element = dynamic_cast<TQRPrintable *>(control)) {
            onElement(element);
        }
    }
}

std::vector<TQRPrintable *> TQRCustomReport::Elements() const
{
    std::vector<TQRPrintable *> elements;
    WalkTree([](TQRCustomBand *) {}, [&elements](TQRPrintable *element) { elements.push_back(element); });
    return elements;
}

void TQRCustomReport::PrintToPrinter()
{
    // A run lets window messages through, and a second "打印" among them
    // finds the run here, also while its printer object is still being made.
    if (run_)
        return;
    TQRPrintRun run(*this);
    printerFound_ = run.Printer().PrinterAvailable();
    spoolerReached_ = run.Printer().SpoolerReachable();
    if (!printerFound_)
        return;
    run.StartOnPrinter(ShowProgress);
    GeneratePages();
}

void TQRCustomReport::GeneratePages()
{
    if (run_ && !run_->Generating())
        run_->Generate();
}

void TQRCustomReport::RunBands()
{
    AssignControllerBands();
    controller_->RunDetail();
}
