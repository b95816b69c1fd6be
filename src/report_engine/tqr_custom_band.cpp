#include "report_engine/tqr_custom_band.h"

#include "report_engine/tqr_child_band.h"
#include "report_engine/eqr_error.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_print_run.h"
#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_printer.h"

#include <QPainter>
#include <QScopedValueRollback>

TQRCustomBand::TQRCustomBand(TQRBandType type, int screenResolution)
    : size_(this, screenResolution), bandType_(type)
{
}

void TQRCustomBand::Place(TQRControl *parent)
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
        auto *child = TQRControl::Create<TQRChildBand>(report, size_.ScreenResolution());
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
        for (TQRControl *control : Controls()) {
            auto *element = dynamic_cast<TQRPrintable *>(control);
            if (element && element->AlignToBand())
                element->ReportNotify(2);
        }
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

Extended TQRCustomBand::LinkedHeight() const
{
    Extended height = size_.Height();
    for (const TQRCustomBand *link = linkBand_; link; link = link->linkBand_)
        height += link->size_.Height();
    return height;
}

TQRCustomBand *TQRCustomBand::ChildBand() const
{
    const TQRCustomReport *report = ParentReport();
    for (TQRCustomBand *band : report->BandSequence()) {
        auto *child = dynamic_cast<TQRChildBand *>(band);
        if (child && child->ParentBand() == this)
            return child;
    }
    return nullptr;
}

QRect TQRCustomBand::RectOnPage(Extended height) const
{
    const TQRPrintRun &run = *ParentReport()->Run();
    const TQRPrinter &printer = run.Printer();
    const int left = printer.ToDeviceX(run.PosX());
    const int top = printer.ToDeviceY(run.PosY());
    return QRect(left, top, printer.ToDeviceX(run.PosX() + size_.Width()) - left,
                 printer.ToDeviceY(run.PosY() + height) - top);
}

void TQRCustomBand::PrintSelf()
{
    TQRPrintRun &run = *ParentReport()->Run();
    bool printBand = Enabled;
    if (Enabled && BeforePrint)
        BeforePrint(this, printBand);
    if (printBand) {
        const bool breaks = bandType_ != rbTitle && bandType_ != rbPageHeader && bandType_ != rbPageFooter &&
                            bandType_ != rbOverlay && run.PagesOpened() > 0;
        if (ForceNewPage && breaks)
            run.BreakPage();
        else if (ForceNewColumn && breaks)
            run.BreakColumn();
        else
            EnsureRoom();
        bandRect_ = RectOnPage(size_.Height());
        if (bandRect_.height() != 0 && Enabled) {
            TQRPrinter &printer = run.Printer();
            printer.PageCanvas().fillRect(bandRect_, Color);
            extraHeight_ = 0;
            const Extended savedHeight = size_.Height();
            const QScopedValueRollback<int> depth(printDepth_, printDepth_ + 1);
            for (bool firstPass = true;; firstPass = false) {
                const bool allComplete = PrintPass(firstPass);
                bandRect_ = RectOnPage(size_.Height() + extraHeight_ + 1);
                Frame().DrawFrame(printer.PageCanvas(), bandRect_.left(), bandRect_.top(),
                                  bandRect_.left() + bandRect_.width(), bandRect_.top() + bandRect_.height(),
                                  printer.DotsPerUnitX(), printer.DotsPerUnitY());
                if (allComplete)
                    break;
                // A page header or footer is printed again by the page it opens
                // or closes: one continuation is all it may take, or pages
                // would follow without end.
                if ((bandType_ == rbPageHeader || bandType_ == rbPageFooter) && printDepth_ > 1)
                    throw EQRError(QStringLiteral("页眉或页脚带区的内容一页打印不完，报表无法打印。"));
                run.AdvanceColumn();
                if (size_.Height() != savedHeight)
                    size_.SetHeight(savedHeight);
                extraHeight_ = 0;
            }
            StepDown();
            if (size_.Height() != savedHeight)
                size_.SetHeight(savedHeight);
        }
    }
    if (AfterPrint)
        AfterPrint(this, printBand);
    if (TQRCustomBand *child = ChildBand()) {
        if (bandType_ == rbPageFooter)
            child->SetBandTypeValue(rbPageFooter);
        run.EmitBand(child);
        child->SetBandTypeValue(rbChild);
    }
}

bool TQRCustomBand::PrintPass(bool firstPass)
{
    const TQRPrintRun &run = *ParentReport()->Run();
    bool allComplete = true;
    // Elements may be added while printing (a handler's doing); walk a copy.
    const std::vector<TQRControl *> controls = Controls();
    for (TQRControl *control : controls) {
        auto *element = dynamic_cast<TQRPrintable *>(control);
        if (!element || !element->Enabled())
            continue;
        if (firstPass || !element->PrintComplete())
            element->PrintAt(run.PosX(), run.PosY());
        allComplete = allComplete && element->PrintComplete();
    }
    return allComplete;
}

void TQRCustomBand::EnsureRoom()
{
    TQRPrintRun &run = *ParentReport()->Run();
    const TQRPage &page = ParentReport()->Page();
    const int height = qrRound(LinkedHeight());
    if (bandType_ != rbPageFooter && height > run.RoomLeft() &&
        height <= page.Length() - (page.TopMargin() + page.BottomMargin()))
        run.AdvanceColumn();
    else if (run.PagesOpened() == 0)
        run.AdvanceColumn();
}

bool TQRCustomBand::CanGrow(Extended amount) const
{
    const TQRPrintRun *run = ParentReport() ? ParentReport()->Run() : nullptr;
    return (run ? run->RoomLeft() : 0) >= qrRound(size_.Height() + extraHeight_ + amount);
}

bool TQRCustomBand::GrowBand(Extended amount, Extended &granted, bool &alreadyGrown)
{
    if (!CanGrow(amount))
        return false;
    if (!alreadyGrown && amount < extraHeight_) {
        granted = extraHeight_;
        alreadyGrown = true;
        return true;
    }
    extraHeight_ += amount;
    granted = extraHeight_;
    alreadyGrown = true;
    return false;
}

void TQRCustomBand::StepDown()
{
    TQRPrintRun &run = *ParentReport()->Run();
    run.SetPosY(run.PosY() + qrRound(size_.Height() + extraHeight_));
}
