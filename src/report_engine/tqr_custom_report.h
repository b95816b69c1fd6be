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
class TQRPrintRun;

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
    // printer in a run of its own (TQRPrintRun), and returns at once while a
    // run exists. An error during a run aborts the document, returns the
    // report to idle and reaches the caller.
    void PrintToPrinter();
    // The bands of the current run, once; nothing outside a run or when
    // generation is already under way.
    virtual void GeneratePages();
    // What the last PrintToPrinter found: false when there was no printer, so
    // nothing was printed; then whether the print service answered at all.
    bool PrinterFound() const { return printerFound_; }
    bool SpoolerReached() const { return spoolerReached_; }
    // A run exists, from before its printer object is made until it is gone.
    bool RunActive() const { return run_ != nullptr; }
    // The current run, with its printer object and page flow; none outside runs.
    TQRPrintRun *Run() const { return run_; }

protected:
    void SetController(std::unique_ptr<TQRCustomController> controller);
    // Title, detail and summary become the controller's bands; then its detail loop runs.
    virtual void RunBands();

private:
    friend class TQRPrintRun;

    std::vector<TQRCustomBand *> ChildChain(TQRCustomBand *band) const;
    // The one walk over the band tree, in placement order: each band placed
    // on the report followed by the elements on it, and the elements placed
    // on the report itself.
    void WalkTree(const std::function<void(TQRCustomBand *)> &onBand,
                  const std::function<void(TQRPrintable *)> &onElement) const;
    std::vector<TQRPrintable *> Elements() const;

    TQRPage page_;
    TQRReportBands bands_;
    std::unique_ptr<TQRCustomController> controller_;
    TQRReportPrinterSettings printerSettings_;
    std::vector<TQRCustomBand *> bandSequence_;
    QFont font_;
    TextMeasure measure_;
    bool loading_ = false;

    bool printerFound_ = true;
    bool spoolerReached_ = true;
    TQRPrintRun *run_ = nullptr;
    bool arranging_ = false;
    bool destroying_ = false;
};
