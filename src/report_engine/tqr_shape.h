#pragma once

#include "report_engine/tqr_printable.h"

#include <QBrush>
#include <QPen>

// A rectangle, ellipse or lines drawn with a pen and filled with a brush.
// The pen's width counts device dots. A shape never grows and is always complete.
class TQRShape : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;

    TQRShapeType Shape = qrsRectangle;
    QPen Pen{Qt::black, 1, Qt::SolidLine};
    QBrush Brush{Qt::white, Qt::SolidPattern};

    void PrintAt(int offsetX, int offsetY) override;

protected:
    QSize NewSize() const override { return {65, 65}; }
};
