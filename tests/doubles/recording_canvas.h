#pragma once

#include "platform/printing/device_measurements.h"
#include "doubles/recording_paint_engine.h"

#include <QPaintDevice>

// One page of the recording printer: the printable area of the paper at the
// printer's resolution, recording its drawing into `drawings`.
class RecordingCanvas : public QPaintDevice {
public:
    RecordingCanvas(const DeviceMeasurements &measurements, std::vector<RecordedDrawing> &drawings);
    ~RecordingCanvas() override;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    DeviceMeasurements measurements_;
    mutable RecordingPaintEngine engine_;
};
