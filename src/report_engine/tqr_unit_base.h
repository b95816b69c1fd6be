#pragma once

#include "report_engine/qr_types.h"

#include <QScopedValueRollback>
#include <vector>

class TQRCustomReport;

// A size object: lengths kept in report units (0.1 mm) in a fixed `Values`
// order, read and written through the named properties in `CurrentUnit`.
class TQRUnitBase {
public:
    // `screenResolution` in pixels per inch; 0 reads the screen's.
    TQRUnitBase(std::vector<TQRAxis> axes, int screenResolution);
    virtual ~TQRUnitBase() = default;

    Extended ToUnit(TQRUnit unit, TQRAxis axis, Extended value) const;    // report units -> unit
    Extended FromUnit(TQRUnit unit, TQRAxis axis, Extended value) const;  // unit -> report units

    TQRUnit GetCurrentUnit() const { return currentUnit_; }
    virtual void SetCurrentUnit(TQRUnit unit);
    // Brackets work done in pixels.
    void SwitchToPixels();
    void RestorePreviousUnit();

    // The stored form: report units, unconverted, in the class's order.
    const std::vector<Extended> &Values() const { return values_; }
    void LoadValues(const std::vector<Extended> &values);
    // Runs once the definition is loaded.
    void AfterLoad() { ApplySizeToControl(); }
    // Sets the owner control's pixel bounds from the stored values.
    virtual void ApplySizeToControl() = 0;

    int ScreenResolution() const { return screenResolution_; }  // pixels per inch
    int Zoom() const { return zoom_; }                            // percent
    void SetZoom(int zoom) { zoom_ = zoom; }
    // The report whose font size drives the Characters unit.
    TQRCustomReport *ParentReport() const { return report_; }
    void SetParentReport(TQRCustomReport *report) { report_ = report; }
    // True while the size is being applied to the owner control.
    bool Updating() const { return updating_; }

protected:
    Extended Get(int index) const;               // in CurrentUnit
    void Set(int index, Extended value);         // from CurrentUnit
    Extended Raw(int index) const { return values_[index]; }
    void SetRaw(int index, Extended value) { values_[index] = value; }
    int PixelsOf(int index) const;               // whole pixels, rounded
    // Marks the update of the owner control for the scope's length, however it ends.
    [[nodiscard]] QScopedValueRollback<bool> UpdatingControl() { return QScopedValueRollback<bool>(updating_, true); }

private:
    std::vector<TQRAxis> axes_;
    std::vector<Extended> values_;
    int screenResolution_;
    TQRUnit currentUnit_;
    TQRUnit previousUnit_;
    int zoom_ = 100;
    TQRCustomReport *report_ = nullptr;
    bool updating_ = false;
};
