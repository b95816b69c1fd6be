#pragma once

#include "platform/printing/print_font.h"
#include "platform/printing/text_measure.h"
#include "report_engine/tqr_base_panel.h"
#include "report_engine/tqr_custom_controller.h"
#include "report_engine/tqr_page.h"
#include "report_engine/tqr_printer_settings.h"
#include "report_engine/tqr_report_bands.h"

#include <QFont>
#include <QMap>
#include <QStringList>
#include <functional>
#include <memory>

class TQRCustomBand;
class TQRPrintable;
class TQRPrinter;

// Named constants that expressions of a report can read.
using TQREvEnvironment = QMap<QString, QString>;

// A report: its page, its bands in canonical order, its controller and
// printer settings. All geometry lives in report units (0.1 mm) in the size
// objects; pixel bounds follow from them.
class TQRCustomReport : public TQRBasePanel {
public:
    // `screenResolution` in pixels per inch for the size objects; 0 reads the
    // screen's. Construction never reaches a printer: start-up must not wait on one.
    explicit TQRCustomReport(int screenResolution = 0);
    ~TQRCustomReport() override;

    TQRPage &Page() { return page_; }
    const TQRPage &Page() const { return page_; }
    TQRReportBands &Bands() { return bands_; }
    const TQRReportBands &Bands() const { return bands_; }
    TQRCustomController &Controller() { return *controller_; }
    const TQRCustomController &Controller() const { return *controller_; }
    TQRReportPrinterSettings &PrinterSettings() { return printerSettings_; }
    const std::vector<TQRCustomBand *> &BandSequence() const { return bandSequence_; }

    QStringList Description;
    TQREvEnvironment Functions;
    TQRReportOptions Options = FirstPageHeader | LastPageFooter;
    QString ReportTitle;
    bool ShowProgress = true;
    bool SnapToGrid = true;
    QColor Color = Qt::white;
    std::function<void(TQRCustomReport *sender, bool &printReport)> BeforePrint;
    std::function<void(TQRCustomReport *sender)> AfterPrint;
    std::function<void(TQRCustomReport *sender)> AfterPreview;
    std::function<void(TQRCustomReport *sender)> OnStartPage;
    std::function<void(TQRCustomReport *sender)> OnEndPage;
    std::function<void(TQRCustomReport *sender)> OnPreview;

    // Inherited by bands and elements; its size drives the Characters unit.
    const QFont &Font() const { return font_; }
    // Chinese text of the report prints in the Simplified Chinese face.
    void SetFont(const QFont &font) { font_ = PrintFont::withChineseFace(font); }
    Extended FontPoints() const;  // absolute point size of Font; whole points for a pixel height

    bool PrintIfEmpty() const { return controller_->PrintIfEmpty; }
    void SetPrintIfEmpty(bool value) { controller_->PrintIfEmpty = value; }

    // The unit of the page and of every band and element size object.
    TQRUnit Units() const { return page_.GetCurrentUnit(); }
    void SetUnits(TQRUnit unit);
    // 1 to 300 percent; anything else is ignored.
    void SetZoom(int zoom) override;

    // For a report built without a stored definition: the page takes the paper
    // of the default printer's current form (a stored definition sets its own).
    void TakeDefaultPrinterPaper();

    // A stored definition is set between these two calls; EndLoad applies
    // every size to its control, then orders and arranges the bands.
    void BeginLoad() { loading_ = true; }
    void EndLoad();
    bool Loading() const { return loading_; }

    // Rebuilds the band order: page headers, titles, column headers, the
    // controller's bands, page footers, the rest; each band followed by its
    // chain of child bands.
    void OrderBands();
    // Places the bands one below the other from the top margin and gives each
    // its width (full printable width or one column).
    void ArrangeBands();
    void Rearrange() { OrderBands(); ArrangeBands(); }
    // Title, detail and summary become the controller's header, detail and footer.
    void AssignControllerBands();

    // Pixels of a text's width plus 1, or 0 when it cannot be measured.
    int MeasureTextWidth(const QFont &font, const QString &text) const;
    // Pixels of one line of the font (measured on "A"), or 0.
    int MeasureTextHeight(const QFont &font, const QString &text) const;

    // Band membership, kept by the bands themselves.
    void InsertBand(TQRCustomBand *band);
    void RemoveBand(TQRCustomBand *band);

    // Report generation. PrintToPrinter prints the report on the default
    // printer with a fresh printer object and progress window, and returns at
    // once while a run is active. An error during a run aborts the document,
    // returns the report to idle and reaches the caller.
    void PrintToPrinter();
    virtual void GeneratePages();
    // What the last PrintToPrinter found: false when there was no printer, so
    // nothing was printed; then whether the print service answered at all.
    bool PrinterFound() const { return printerFound_; }
    bool SpoolerReached() const { return spoolerReached_; }
    bool RunActive() const { return runActive_; }
    bool CancelFlag() const { return cancelFlag_; }
    // The printer object of the current run; none outside runs.
    TQRPrinter *Printer() const { return printer_; }

    // Band output and page flow, during a run (report units from the paper's edge).
    void EmitBand(TQRCustomBand *band);
    void OpenPage();
    void ClosePage();
    void AdvanceColumn();
    void BreakPage();
    void BreakColumn();
    // Room between the position and the footer reserve; 0 outside a run or before page 1.
    int RoomLeft() const;
    int PosX() const { return posX_; }
    int PosY() const { return posY_; }
    void SetPosY(int posY) { posY_ = posY; }
    int PagesOpened() const { return pagesOpened_; }
    int ColumnIndex() const { return columnIndex_; }
    Extended FooterReserve() const { return footerReserve_; }
    void SetSkipPageBreakOnce() { skipPageBreakOnce_ = true; }

protected:
    void SetController(std::unique_ptr<TQRCustomController> controller);
    // Title, detail and summary become the controller's bands; then its detail loop runs.
    virtual void RunBands();

private:
    std::vector<TQRCustomBand *> ChildChain(TQRCustomBand *band) const;
    // Every element of the report, on its bands and directly on it.
    std::vector<TQRPrintable *> Elements() const;
    void TransferPrinterSettings();
    void MeasureFooterReserve();
    void DrawReportLayer();
    // The paper length that page flow counts with, report units.
    Extended FlowLength() const;

    TQRPage page_;
    TQRReportBands bands_;
    std::unique_ptr<TQRCustomController> controller_;
    TQRReportPrinterSettings printerSettings_;
    std::vector<TQRCustomBand *> bandSequence_;
    QFont font_;
    TextMeasure measure_;
    bool loading_ = false;

    // Run state.
    bool printerFound_ = true;
    bool spoolerReached_ = true;
    bool runActive_ = false;
    bool starting_ = false;  // PrintToPrinter under way
    bool cancelFlag_ = false;
    bool lastPageFlag_ = false;
    bool skipPageBreakOnce_ = false;
    bool columnBreakArmed_ = false;
    TQRPrinter *printer_ = nullptr;
    int posX_ = 0;
    int posY_ = -1;
    int pagesOpened_ = 0;
    int columnIndex_ = 1;
    int columnStartY_ = 0;
    Extended footerReserve_ = 0;
    bool arranging_ = false;
    bool destroying_ = false;
};
