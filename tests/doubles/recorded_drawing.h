#pragma once

#include <QBrush>
#include <QFont>
#include <QLineF>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

// One drawing call made on a recorded page, in device dots of that page.
struct RecordedDrawing {
    enum Kind { Rect, Line, Ellipse, Polygon, Path, Text, Image };

    Kind kind = Rect;
    QRectF rect;        // Rect, Ellipse, Image; bounding box of Polygon and Path
    QLineF line;        // Line
    QPointF position;   // Text: left end of the baseline
    QString text;       // Text
    QFont font;         // Text
    QPen pen;
    QBrush brush;
};
