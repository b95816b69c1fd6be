#include "doubles/recording_canvas.h"

RecordingCanvas::RecordingCanvas(const DeviceMeasurements &measurements,
                                 std::vector<RecordedDrawing> &drawings)
    : measurements_(measurements), engine_(drawings)
{
}

RecordingCanvas::~RecordingCanvas() = default;

QPaintEngine *RecordingCanvas::paintEngine() const
{
    return &engine_;
}

int RecordingCanvas::metric(PaintDeviceMetric metric) const
{
    const DeviceMeasurements &m = measurements_;
    const int width = m.physicalWidth - 2 * m.physicalOffsetX;
    const int height = m.physicalHeight - 2 * m.physicalOffsetY;
    switch (metric) {
    case PdmWidth: return width;
    case PdmHeight: return height;
    case PdmWidthMM: return m.logPixelsX ? width * 254 / m.logPixelsX / 10 : 0;
    case PdmHeightMM: return m.logPixelsY ? height * 254 / m.logPixelsY / 10 : 0;
    case PdmDpiX:
    case PdmPhysicalDpiX: return m.logPixelsX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return m.logPixelsY;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    case PdmNumColors: return 256;
    case PdmDepth: return 32;
    default: return QPaintDevice::metric(metric);
    }
}
