#pragma once

#include "doubles/recorded_drawing.h"

#include <QPaintEngine>
#include <QTransform>
#include <vector>

// Writes down every drawing call instead of painting, with the painter's
// transformation applied, so tests can check exact device positions.
class RecordingPaintEngine : public QPaintEngine {
public:
    explicit RecordingPaintEngine(std::vector<RecordedDrawing> &drawings);

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override;

    void drawRects(const QRectF *rects, int rectCount) override;
    void drawLines(const QLineF *lines, int lineCount) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override;
    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &position, const QTextItem &item) override;

private:
    void add(RecordedDrawing drawing);

    std::vector<RecordedDrawing> &drawings_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
};
