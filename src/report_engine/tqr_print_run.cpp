#include "report_engine/tqr_print_run.h"

#include "platform/core/failure.h"
#include "report_engine/engine_log.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_progress_form.h"

#include <QCoreApplication>
#include <QScopeGuard>

TQRPrintRun::TQRPrintRun(TQRCustomReport &report) : report_(report), registered_(report.run_, this)
{
    printer_ = std::make_unique<TQRPrinter>();
    printer_->OnDocumentPrinted = [&report] {
        if (report.AfterPrint)
            report.AfterPrint(&report);
    };
    printer_->OnPreviewClosed = [&report] {
        if (report.AfterPreview)
            report.AfterPreview(&report);
    };
}

TQRPrintRun::~TQRPrintRun() = default;

void TQRPrintRun::StartOnPrinter(bool show)
{
    printer_->OutputTarget = TQRPrinter::Printer;
    progress_ = std::make_unique<TQRProgressForm>(printer_.get());
    if (show)
        progress_->show();
    printer_->ProgressClient = progress_.get();
}

void TQRPrintRun::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TQRPrintRun::Generate()
{
    TQRPage &page = report_.Page();
    if (page.Width() - page.LeftMargin() - page.RightMargin() < 0) {
        page.SetLeftMargin(0);
        page.SetRightMargin(0);
    }
    if (page.Length() - page.TopMargin() - page.BottomMargin() < 0) {
        page.SetTopMargin(0);
        page.SetBottomMargin(0);
    }
    const QScopedValueRollback<bool> generating(generating_, true);
    bool printReport = true;
    if (report_.BeforePrint)
        report_.BeforePrint(&report_, printReport);
    if (!printReport)
        return;
    {
        // However the bands end, the elements are released and every size
        // reads in its own unit again (in that order, units first).
        const std::vector<TQRPrintable *> elements = report_.Elements();
        const auto released = qScopeGuard([&elements] {
            for (TQRPrintable *element : elements)
                element->EndPrint();
        });
        const auto units = qScopeGuard([this, saved = report_.Units()] { report_.SetUnits(saved); });
        report_.SetUnits(TQRUnit::Native);
        try {
            TransferPrinterSettings();
            printer_->DocumentTitle = report_.ReportTitle;
            printer_->Compression = (report_.Options & Compression) != 0;
            printer_->BeginDocument();
            columnIndex_ = page.Columns();
            MeasureFooterReserve();
            posX_ = qrRound(page.LeftMargin());
            // Every run starts from the same numbers, whatever the last one left.
            report_.Functions[QStringLiteral("PAGENUMBER")] = QStringLiteral("0");
            report_.Functions[QStringLiteral("COLUMNNUMBER")] = QStringLiteral("0");
            report_.Functions[QStringLiteral("REPORTTITLE")] = report_.ReportTitle;
            for (TQRPrintable *element : elements)
                element->PrepareForPrint(printer_.get());
            report_.RunBands();
            posX_ = qrRound(page.LeftMargin());
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
            throw;
        }
    }
    if (cancelFlag_)
        printer_->AbortDocument();
    else
        printer_->EndDocument();
}

void TQRPrintRun::TransferPrinterSettings()
{
    const TQRPage &page = report_.Page();
    const TQRReportPrinterSettings &settings = report_.PrinterSettings();
    TQRPrinter &printer = *printer_;
    printer.SelectPrinter(settings.PrinterIndex);
    printer.SetPaperSize(page.PaperSize());
    if (printer.PrinterPaperSize() == TQRPaperSize::Custom) {
        printer.SetPaperWidth(qrRound(page.Width()));
        printer.SetPaperLength(qrRound(page.Length()));
    }
    printer.SetOrientation(page.Orientation());
    printer.SetCopies(settings.Copies);
    printer.SetOutputBin(settings.OutputBin);
    printer.FirstPage = settings.FirstPage;
    printer.LastPage = settings.LastPage;
}

void TQRPrintRun::MeasureFooterReserve()
{
    footerReserve_ = 0;
    for (TQRCustomBand *band : report_.BandSequence()) {
        if (band->BandType() != rbPageFooter || !band->Enabled)
            continue;
        footerReserve_ += band->Size().Height();
        for (TQRCustomBand *child : report_.ChildChain(band))
            footerReserve_ += child->Size().Height();
    }
}

Extended TQRPrintRun::FlowLength() const
{
    return report_.Page().Orientation() == poLandscape ? printer_->PrinterPaperWidth()
                                                       : printer_->PrinterPaperLength();
}

void TQRPrintRun::EmitBand(TQRCustomBand *band)
{
    if (!band)
        return;
    if (band->AlignToBottom) {
        if (band->BandType() == rbSummary && !(report_.Options & LastPageFooter))
            footerReserve_ = 0;
        const int y =
            qrRound(FlowLength() - report_.Page().BottomMargin() - band->Size().Height() - footerReserve_);
        if (y > posY_)
            posY_ = y;
    }
    band->PrintSelf();
}

int TQRPrintRun::RoomLeft() const
{
    if (!generating_ || posY_ == -1)
        return 0;
    const TQRPage &page = report_.Page();
    const bool turned = page.Orientation() == poLandscape && page.PaperSize() != TQRPaperSize::Custom;
    const Extended length = turned ? printer_->PrinterPaperWidth() : printer_->PrinterPaperLength();
    return qrRound(length - page.BottomMargin() - footerReserve_ - posY_);
}

void TQRPrintRun::AdvanceColumn()
{
    const TQRPage &page = report_.Page();
    const int columns = page.Columns();
    if (columnIndex_ == columns) {
        columnIndex_ = 1;
        posX_ = qrRound(page.LeftMargin());
        OpenPage();
    } else {
        const TQRCustomBand *detail = report_.Bands().BandOfType(rbDetail);
        const int columnWidth =
            detail ? qrRound(detail->Size().Width())
                   : (qrRound(page.Width() - (page.LeftMargin() + page.RightMargin())) -
                      qrRound(page.ColumnSpace()) * (columns - 1)) / columns;
        posX_ += columnWidth + qrRound(page.ColumnSpace());
        posY_ = columnStartY_;
        ++columnIndex_;
    }
    report_.Functions[QStringLiteral("COLUMNNUMBER")] = QString::number(columnIndex_);
    if (!(columnIndex_ == 1 && pagesOpened_ == 1))
        EmitBand(report_.Bands().BandOfType(rbColumnHeader));
}

void TQRPrintRun::OpenPage()
{
    ClosePage();
    ++pagesOpened_;
    report_.Functions[QStringLiteral("PAGENUMBER")] = QString::number(pagesOpened_);
    printer_->StartNewPage();
    posY_ = qrRound(report_.Page().TopMargin());
    if (report_.OnStartPage)
        report_.OnStartPage(&report_);
    if (pagesOpened_ > 1 || (report_.Options & FirstPageHeader))
        EmitBand(report_.Bands().BandOfType(rbPageHeader));
    columnStartY_ = posY_;
    if (const TQRCustomBand *title = report_.Bands().BandOfType(rbTitle); title && pagesOpened_ == 1)
        columnStartY_ += qrRound(title->Size().Height());
}

void TQRPrintRun::ClosePage()
{
    if (pagesOpened_ == 0)
        return;
    const TQRPage &page = report_.Page();
    posY_ = qrRound(page.Length() - page.BottomMargin() - footerReserve_);
    posX_ = qrRound(page.LeftMargin());
    if (!lastPageFlag_ || (report_.Options & LastPageFooter))
        EmitBand(report_.Bands().BandOfType(rbPageFooter));
    DrawReportLayer();
    if (report_.OnEndPage)
        report_.OnEndPage(&report_);
}

void TQRPrintRun::DrawReportLayer()
{
    report_.WalkTree([](TQRCustomBand *) {},
                     [](TQRPrintable *element) {
                         if (!element->ParentBand())
                             element->PrintAt(0, 0);
                     });
    const TQRPage &page = report_.Page();
    TQRPrinter &printer = *printer_;
    report_.Frame().DrawFrame(printer.PageCanvas(), printer.ToDeviceX(page.LeftMargin()),
                              printer.ToDeviceY(page.TopMargin()), printer.ToDeviceX(page.Width() - page.RightMargin()),
                              printer.ToDeviceY(page.Length() - page.BottomMargin()), printer.DotsPerUnitX(),
                              printer.DotsPerUnitY());
}

void TQRPrintRun::BreakPage()
{
    if (!generating_)
        return;
    if (skipPageBreakOnce_) {
        skipPageBreakOnce_ = false;
        return;
    }
    do {
        AdvanceColumn();
    } while (columnIndex_ != 1);
}

void TQRPrintRun::BreakColumn()
{
    if (!generating_)
        return;
    if (columnBreakArmed_ || columnIndex_ > 1)
        AdvanceColumn();
    else
        columnBreakArmed_ = true;
}
