#include "report_engine/tqr_custom_report.h"

#include "platform/core/failure.h"
#include "report_engine/engine_log.h"
#include "report_engine/tqr_child_band.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_progress_form.h"

#include <QGuiApplication>
#include <QLocale>
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

// Clears a flag when the scope ends, however it ends.
struct ClearOnExit {
    bool &flag;
    ~ClearOnExit() { flag = false; }
};

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
    return std::abs(font_.pixelSize()) * 72.0L / 96;
}

void TQRCustomReport::SetUnits(TQRUnit unit)
{
    page_.SetCurrentUnit(unit);
    for (TQRControl *control : Controls()) {
        if (auto *band = dynamic_cast<TQRCustomBand *>(control)) {
            band->Size().SetCurrentUnit(unit);
            for (TQRControl *onBand : band->Controls()) {
                if (auto *element = dynamic_cast<TQRPrintable *>(onBand))
                    element->Size().SetCurrentUnit(unit);
            }
        }
    }
    for (TQRControl *control : Controls()) {
        if (auto *element = dynamic_cast<TQRPrintable *>(control))
            element->Size().SetCurrentUnit(unit);
    }
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
    for (TQRControl *control : Controls()) {
        if (auto *band = dynamic_cast<TQRCustomBand *>(control)) {
            band->AfterLoad();
            for (TQRControl *onBand : band->Controls()) {
                if (auto *element = dynamic_cast<TQRPrintable *>(onBand))
                    element->AfterLoad();
            }
        } else if (auto *element = dynamic_cast<TQRPrintable *>(control)) {
            element->AfterLoad();
        }
    }
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
    arranging_ = true;
    const TQRUnit saved = Units();
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
    SetUnits(saved);
    arranging_ = false;
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

std::vector<TQRPrintable *> TQRCustomReport::Elements() const
{
    std::vector<TQRPrintable *> elements;
    for (TQRControl *control : Controls()) {
        if (auto *element = dynamic_cast<TQRPrintable *>(control))
            elements.push_back(element);
        for (TQRControl *onBand : control->Controls()) {
            if (auto *element = dynamic_cast<TQRPrintable *>(onBand))
                elements.push_back(element);
        }
    }
    return elements;
}

void TQRCustomReport::PrintToPrinter()
{
    // Making the printer object lets window messages through, so a second
    // "打印" may arrive before the run itself is active.
    if (runActive_ || starting_)
        return;
    starting_ = true;
    const ClearOnExit starting{starting_};
    TQRPrinter *const remembered = printer_;
    // Destroyed in reverse order: the printer object first, then the progress window.
    std::unique_ptr<TQRProgressForm> progress;
    auto printer = std::make_unique<TQRPrinter>();
    if (remembered)
        printer->ProgressClient = remembered->ProgressClient;
    printer->OnDocumentPrinted = [this] {
        if (AfterPrint)
            AfterPrint(this);
    };
    printer->OnPreviewClosed = [this] {
        if (AfterPreview)
            AfterPreview(this);
    };
    printerFound_ = printer->PrinterAvailable();
    spoolerReached_ = printer->SpoolerReachable();
    if (!printerFound_)
        return;
    struct RestoreSlot {
        TQRPrinter *&slot;
        TQRPrinter *value;
        ~RestoreSlot() { slot = value; }
    } restore{printer_, remembered};
    printer_ = printer.get();
    printer->OutputTarget = TQRPrinter::Printer;
    progress = std::make_unique<TQRProgressForm>(printer.get());
    if (ShowProgress)
        progress->show();
    printer->ProgressClient = progress.get();
    GeneratePages();
}

void TQRCustomReport::GeneratePages()
{
    if (runActive_ || !printer_)
        return;
    if (page_.Width() - page_.LeftMargin() - page_.RightMargin() < 0) {
        page_.SetLeftMargin(0);
        page_.SetRightMargin(0);
    }
    if (page_.Length() - page_.TopMargin() - page_.BottomMargin() < 0) {
        page_.SetTopMargin(0);
        page_.SetBottomMargin(0);
    }
    runActive_ = true;
    // Back to idle however the run ends, so that the next run prints.
    const ClearOnExit idle{runActive_};
    cancelFlag_ = false;
    lastPageFlag_ = false;
    skipPageBreakOnce_ = false;
    columnBreakArmed_ = false;
    bool printReport = true;
    if (BeforePrint)
        BeforePrint(this, printReport);
    if (!printReport)
        return;
    const TQRUnit savedUnits = Units();
    SetUnits(TQRUnit::Native);
    const std::vector<TQRPrintable *> elements = Elements();
    const auto finishElements = [&] {
        SetUnits(savedUnits);
        for (TQRPrintable *element : elements)
            element->EndPrint();
    };
    try {
        TransferPrinterSettings();
        printer_->DocumentTitle = ReportTitle;
        printer_->Compression = (Options & Compression) != 0;
        printer_->BeginDocument();
        posY_ = -1;
        pagesOpened_ = 0;
        columnIndex_ = page_.Columns();
        MeasureFooterReserve();
        posX_ = qrRound(page_.LeftMargin());
        // Every run starts from the same numbers, whatever the last one left.
        Functions[QStringLiteral("PAGENUMBER")] = QStringLiteral("0");
        Functions[QStringLiteral("COLUMNNUMBER")] = QStringLiteral("0");
        Functions[QStringLiteral("REPORTTITLE")] = ReportTitle;
        for (TQRPrintable *element : elements)
            element->PrepareForPrint(printer_);
        RunBands();
        posX_ = qrRound(page_.LeftMargin());
        lastPageFlag_ = true;
        if (!cancelFlag_)
            ClosePage();
    } catch (...) {
        // Nothing of a failed run may reach the printer as if it were whole:
        // the document is aborted instead of ended.
        if (printer_->OutputState() == TQRPrinter::Busy) {
            try {
                printer_->AbortDocument();
            } catch (const Failure &failure) {
                // No page was begun, so no document is open to abort.
                qCDebug(lcEngine).noquote() << "abort after a failed run:" << failure.message();
            }
        }
        finishElements();
        throw;
    }
    finishElements();
    if (cancelFlag_)
        printer_->AbortDocument();
    else
        printer_->EndDocument();
}

void TQRCustomReport::TransferPrinterSettings()
{
    TQRPrinter &printer = *printer_;
    printer.SelectPrinter(printerSettings_.PrinterIndex);
    printer.SetPaperSize(page_.PaperSize());
    if (printer.PrinterPaperSize() == TQRPaperSize::Custom) {
        printer.SetPaperWidth(qrRound(page_.Width()));
        printer.SetPaperLength(qrRound(page_.Length()));
    }
    printer.SetOrientation(page_.Orientation());
    printer.SetCopies(printerSettings_.Copies);
    printer.SetOutputBin(printerSettings_.OutputBin);
    printer.FirstPage = printerSettings_.FirstPage;
    printer.LastPage = printerSettings_.LastPage;
}

void TQRCustomReport::MeasureFooterReserve()
{
    footerReserve_ = 0;
    for (TQRControl *control : Controls()) {
        auto *band = dynamic_cast<TQRCustomBand *>(control);
        if (!band || band->BandType() != rbPageFooter || !band->Enabled)
            continue;
        footerReserve_ += band->Size().Height();
        for (TQRCustomBand *child : ChildChain(band))
            footerReserve_ += child->Size().Height();
    }
}

void TQRCustomReport::RunBands()
{
    AssignControllerBands();
    controller_->RunDetail();
}

Extended TQRCustomReport::FlowLength() const
{
    return page_.Orientation() == poLandscape ? printer_->PrinterPaperWidth() : printer_->PrinterPaperLength();
}

void TQRCustomReport::EmitBand(TQRCustomBand *band)
{
    if (!band)
        return;
    if (band->AlignToBottom) {
        if (band->BandType() == rbSummary && !(Options & LastPageFooter))
            footerReserve_ = 0;
        const int y = qrRound(FlowLength() - page_.BottomMargin() - band->Size().Height() - footerReserve_);
        if (y > posY_)
            posY_ = y;
    }
    band->PrintSelf();
}

int TQRCustomReport::RoomLeft() const
{
    if (!runActive_ || !printer_ || posY_ == -1)
        return 0;
    const bool turned = page_.Orientation() == poLandscape && page_.PaperSize() != TQRPaperSize::Custom;
    const Extended length = turned ? printer_->PrinterPaperWidth() : printer_->PrinterPaperLength();
    return qrRound(length - page_.BottomMargin() - footerReserve_ - posY_);
}

void TQRCustomReport::AdvanceColumn()
{
    const int columns = page_.Columns();
    if (columnIndex_ == columns) {
        columnIndex_ = 1;
        posX_ = qrRound(page_.LeftMargin());
        OpenPage();
    } else {
        const TQRCustomBand *detail = bands_.BandOfType(rbDetail);
        const int columnWidth =
            detail ? qrRound(detail->Size().Width())
                   : (qrRound(page_.Width() - (page_.LeftMargin() + page_.RightMargin())) -
                      qrRound(page_.ColumnSpace()) * (columns - 1)) / columns;
        posX_ += columnWidth + qrRound(page_.ColumnSpace());
        posY_ = columnStartY_;
        ++columnIndex_;
    }
    Functions[QStringLiteral("COLUMNNUMBER")] = QString::number(columnIndex_);
    if (!(columnIndex_ == 1 && pagesOpened_ == 1))
        EmitBand(bands_.BandOfType(rbColumnHeader));
}

void TQRCustomReport::OpenPage()
{
    ClosePage();
    ++pagesOpened_;
    Functions[QStringLiteral("PAGENUMBER")] = QString::number(pagesOpened_);
    printer_->StartNewPage();
    posY_ = qrRound(page_.TopMargin());
    if (OnStartPage)
        OnStartPage(this);
    if (pagesOpened_ > 1 || (Options & FirstPageHeader))
        EmitBand(bands_.BandOfType(rbPageHeader));
    columnStartY_ = posY_;
    if (const TQRCustomBand *title = bands_.BandOfType(rbTitle); title && pagesOpened_ == 1)
        columnStartY_ += qrRound(title->Size().Height());
}

void TQRCustomReport::ClosePage()
{
    if (pagesOpened_ == 0)
        return;
    posY_ = qrRound(page_.Length() - page_.BottomMargin() - footerReserve_);
    posX_ = qrRound(page_.LeftMargin());
    if (!lastPageFlag_ || (Options & LastPageFooter))
        EmitBand(bands_.BandOfType(rbPageFooter));
    DrawReportLayer();
    if (OnEndPage)
        OnEndPage(this);
}

void TQRCustomReport::DrawReportLayer()
{
    for (TQRControl *control : Controls()) {
        if (auto *element = dynamic_cast<TQRPrintable *>(control))
            element->PrintAt(0, 0);
    }
    TQRPrinter &printer = *printer_;
    Frame().DrawFrame(printer.PageCanvas(), printer.ToDeviceX(page_.LeftMargin()), printer.ToDeviceY(page_.TopMargin()),
                      printer.ToDeviceX(page_.Width() - page_.RightMargin()),
                      printer.ToDeviceY(page_.Length() - page_.BottomMargin()), printer.DotsPerUnitX(),
                      printer.DotsPerUnitY());
}

void TQRCustomReport::BreakPage()
{
    if (!runActive_)
        return;
    if (skipPageBreakOnce_) {
        skipPageBreakOnce_ = false;
        return;
    }
    do {
        AdvanceColumn();
    } while (columnIndex_ != 1);
}

void TQRCustomReport::BreakColumn()
{
    if (!runActive_)
        return;
    if (columnBreakArmed_ || columnIndex_ > 1)
        AdvanceColumn();
    else
        columnBreakArmed_ = true;
}
