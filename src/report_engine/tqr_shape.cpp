#include "report_engine/tqr_shape.h"

#include "report_engine/tqr_printer.h"

#include <QPainter>

void TQRShape::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint() || !ParentPrinter())
        return;
    const TQRPrinter &printer = *ParentPrinter();
    QPainter &canvas = ParentPrinter()->PageCanvas();
    canvas.setPen(Pen);
    canvas.setBrush(Brush);
    const Extended l = offsetX + Size().Left();
    const Extended t = offsetY + Size().Top();
    const Extended w = Size().Width();
    const Extended h = Size().Height();
    const auto x = [&](Extended v) { return printer.ToDeviceX(v); };
    const auto y = [&](Extended v) { return printer.ToDeviceY(v); };
    switch (Shape) {
    case qrsRectangle:
        canvas.drawRect(QRect(x(l), y(t), x(l + w) - x(l), y(t + h) - y(t)));
        break;
    case qrsCircle:
        canvas.drawEllipse(QRect(x(l), y(t), x(l + w) - x(l), y(t + h) - y(t)));
        break;
    case qrsVertLine:
        canvas.drawLine(x(l + w / 2), y(t), x(l + w / 2), y(t + h));
        break;
    case qrsHorLine:
        canvas.drawLine(x(l), y(t + h / 2), x(l + w), y(t + h / 2));
        break;
    case qrsTopAndBottom:
        canvas.drawLine(x(l), y(t), x(l + w), y(t));
        canvas.drawLine(x(l), y(t + h), x(l + w), y(t + h));
        break;
    case qrsRightAndLeft:
        canvas.drawLine(x(l), y(t), x(l), y(t + h));
        canvas.drawLine(x(l + w), y(t), x(l + w), y(t + h));
        break;
    }
}
