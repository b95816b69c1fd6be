#pragma once

#include "report_engine/qr_types.h"

#include <QScopedValueRollback>
#include <memory>

class TQRCustomBand;
class TQRCustomReport;
class TQRPrinter;
class TQRProgressForm;

// One print run of a report: its printer object, its progress window, the
// page flow and the moments at which window messages get through. PrintToPrinter
// makes it on the stack and it is gone when the run ends, however it ends, so
// the report keeps nothing of a run but what it found (PrinterFound). While it
// exists it is the report's Run(), and the report starts no second one.
class TQRPrintRun {
public:
    // Makes the printer object; that lets window messages through, so the run
    // is the report's before it starts.
    explicit TQRPrintRun(TQRCustomReport &report);
    ~TQRPrintRun();
    TQRPrintRun(const TQRPrintRun &) = delete;
    TQRPrintRun &operator=(const TQRPrintRun &) = delete;

    TQRPrinter &Printer() const { return *printer_; }
    // Output to the printer, with a progress window as the printer object's
    // progress client; shown only when `show`.
    void StartOnPrinter(bool show);
    // The document from BeforePrint to EndDocument. An error aborts the
    // document and reaches the caller; units and elements are restored either way.
    void Generate();
    bool Generating() const { return generating_; }
    bool CancelFlag() const { return cancelFlag_; }
    // Lets pending window messages through (between detail rows).
    void ProcessMessages();

    // Band output and page flow; positions in report units from the paper's edge.
    void EmitBand(TQRCustomBand *band);
    void OpenPage();
    void ClosePage();
    void AdvanceColumn();
    void BreakPage();
    void BreakColumn();
    // Room between the position and the footer reserve; 0 before page 1.
    int RoomLeft() const;
    int PosX() const { return posX_; }
    int PosY() const { return posY_; }
    void SetPosY(int posY) { posY_ = posY; }
    int PagesOpened() const { return pagesOpened_; }
    int ColumnIndex() const { return columnIndex_; }
    Extended FooterReserve() const { return footerReserve_; }
    void SetSkipPageBreakOnce() { skipPageBreakOnce_ = true; }

private:
    void TransferPrinterSettings();
    void MeasureFooterReserve();
    void DrawReportLayer();
    // The paper length that page flow counts with, report units.
    Extended FlowLength() const;

    TQRCustomReport &report_;
    QScopedValueRollback<TQRPrintRun *> registered_;  // the report's Run() for as long as this lives
    // Members go in reverse order: the printer object first, then the
    // progress window, and only then does the report become idle.
    std::unique_ptr<TQRProgressForm> progress_;
    std::unique_ptr<TQRPrinter> printer_;
    bool generating_ = false;
    bool cancelFlag_ = false;
    bool lastPageFlag_ = false;
    bool skipPageBreakOnce_ = false;
    bool columnBreakArmed_ = false;
    int posX_ = 0;
    int posY_ = -1;
    int pagesOpened_ = 0;
    int columnIndex_ = 1;
    int columnStartY_ = 0;
    Extended footerReserve_ = 0;
};
