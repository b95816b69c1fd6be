#include "report_engine/tqr_unit_base.h"

#include "report_engine/tqr_custom_report.h"

#include <cmath>

namespace {

// Millimetres of one character cell of a font of `points` points.
Extended CharCellWidth(Extended points) { return (80 / points) / 2.54L; }
Extended CharCellHeight(Extended points) { return (145.3L / points) / 2.54L; }

}  // namespace

TQRUnitBase::TQRUnitBase(std::vector<TQRAxis> axes, int screenResolution)
    : axes_(std::move(axes)),
      values_(axes_.size(), 0),
      screenResolution_(screenResolution > 0 ? screenResolution : ScreenPixelsPerInch()),
      currentUnit_(UsesUSMeasurement() ? TQRUnit::Inches : TQRUnit::MM),
      previousUnit_(currentUnit_)
{
}

Extended TQRUnitBase::ToUnit(TQRUnit unit, TQRAxis axis, Extended value) const
{
    switch (unit) {
    case TQRUnit::MM:
        return value / 10;
    case TQRUnit::Inches:
        return value / 254;
    case TQRUnit::Pixels:
        return value / (254.0L / screenResolution_) * zoom_ / 100;
    case TQRUnit::Characters: {
        const Extended points = report_ ? report_->FontPoints() : 10;
        const Extended cell = axis == TQRAxis::Horizontal ? CharCellWidth(points) : CharCellHeight(points);
        return value / cell / 10;
    }
    case TQRUnit::Native:
        break;
    }
    return value;
}

Extended TQRUnitBase::FromUnit(TQRUnit unit, TQRAxis axis, Extended value) const
{
    switch (unit) {
    case TQRUnit::MM:
        return value * 10;
    case TQRUnit::Inches:
        return value * 254;
    case TQRUnit::Pixels:
        return value * (254.0L / screenResolution_) / zoom_ * 100;
    case TQRUnit::Characters: {
        const Extended points = report_ ? report_->FontPoints() : 10;
        const Extended cell = axis == TQRAxis::Horizontal ? CharCellWidth(points) : CharCellHeight(points);
        return value * cell * 10;
    }
    case TQRUnit::Native:
        break;
    }
    return value;
}

void TQRUnitBase::SetCurrentUnit(TQRUnit unit)
{
    currentUnit_ = unit;
}

void TQRUnitBase::SwitchToPixels()
{
    previousUnit_ = currentUnit_;
    SetCurrentUnit(TQRUnit::Pixels);
}

void TQRUnitBase::RestorePreviousUnit()
{
    SetCurrentUnit(previousUnit_);
}

void TQRUnitBase::LoadValues(const std::vector<Extended> &values)
{
    // A list of the wrong length comes from a damaged definition: take what
    // matches the order and leave the rest as it was.
    for (std::size_t i = 0; i < values.size() && i < values_.size(); ++i)
        values_[i] = values[i];
}

Extended TQRUnitBase::Get(int index) const
{
    return ToUnit(currentUnit_, axes_[index], values_[index]);
}

void TQRUnitBase::Set(int index, Extended value)
{
    values_[index] = FromUnit(currentUnit_, axes_[index], value);
}

int TQRUnitBase::PixelsOf(int index) const
{
    return qrRound(ToUnit(TQRUnit::Pixels, axes_[index], values_[index]));
}
