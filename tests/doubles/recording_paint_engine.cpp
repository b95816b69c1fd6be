#include "doubles/recording_paint_engine.h"

#include <QPolygonF>

RecordingPaintEngine::RecordingPaintEngine(std::vector<RecordedDrawing> &drawings)
    : QPaintEngine(QPaintEngine::AllFeatures), drawings_(drawings)
{
}

void RecordingPaintEngine::updateState(const QPaintEngineState &state)
{
    if (state.state() & DirtyPen)
        pen_ = state.pen();
    if (state.state() & DirtyBrush)
        brush_ = state.brush();
    if (state.state() & DirtyTransform)
        transform_ = state.transform();
}

void RecordingPaintEngine::add(RecordedDrawing drawing)
{
    drawing.pen = pen_;
    drawing.brush = brush_;
    drawings_.push_back(std::move(drawing));
}

void RecordingPaintEngine::drawRects(const QRectF *rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        RecordedDrawing drawing;
        drawing.rect = transform_.mapRect(rects[i]);
        add(drawing);
    }
}

void RecordingPaintEngine::drawLines(const QLineF *lines, int lineCount)
{
    for (int i = 0; i < lineCount; ++i) {
        RecordedDrawing drawing;
        drawing.kind = RecordedDrawing::Line;
        drawing.line = transform_.map(lines[i]);
        add(drawing);
    }
}

void RecordingPaintEngine::drawEllipse(const QRectF &rect)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Ellipse;
    drawing.rect = transform_.mapRect(rect);
    add(drawing);
}

void RecordingPaintEngine::drawPath(const QPainterPath &path)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Path;
    drawing.rect = transform_.map(path).boundingRect();
    add(drawing);
}

void RecordingPaintEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Polygon;
    drawing.rect = transform_.map(QPolygonF(QList<QPointF>(points, points + pointCount))).boundingRect();
    add(drawing);
}

void RecordingPaintEngine::drawPixmap(const QRectF &rect, const QPixmap &, const QRectF &)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Image;
    drawing.rect = transform_.mapRect(rect);
    add(drawing);
}

void RecordingPaintEngine::drawImage(const QRectF &rect, const QImage &, const QRectF &,
                                     Qt::ImageConversionFlags)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Image;
    drawing.rect = transform_.mapRect(rect);
    add(drawing);
}

void RecordingPaintEngine::drawTextItem(const QPointF &position, const QTextItem &item)
{
    RecordedDrawing drawing;
    drawing.kind = RecordedDrawing::Text;
    drawing.position = transform_.map(position);
    drawing.text = item.text();
    drawing.font = item.font();
    add(drawing);
}
