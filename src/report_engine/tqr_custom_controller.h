#pragma once

class TQRCustomBand;
class TQRCustomReport;

// Drives the header, detail and footer bands of a report.
class TQRCustomController {
public:
    explicit TQRCustomController(TQRCustomReport *report) : report_(report) {}
    virtual ~TQRCustomController() = default;

    TQRCustomReport *ParentReport() const { return report_; }
    // With no data the header, the detail band (once) and the footer still print.
    bool PrintIfEmpty = true;
    TQRCustomBand *Header = nullptr;
    TQRCustomBand *Detail = nullptr;
    TQRCustomBand *Footer = nullptr;

    // The detail loop of a run; without data, PrintWithoutData when PrintIfEmpty is set.
    virtual void RunDetail();
    // The header, the detail band once and the footer.
    virtual void PrintWithoutData();

private:
    TQRCustomReport *report_;
};
