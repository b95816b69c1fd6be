#include "report_engine/tqr_frame.h"

#include <QPainter>

namespace {

Qt::PenStyle PenStyleOf(TPenStyle style)
{
    switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psSolid:
    case psInsideFrame: break;
    }
    return Qt::SolidLine;
}

}  // namespace

int TQRFrame::SideThickness(Extended dotsPerUnit) const
{
    if (Width == -1)
        return 1;
    // Other negative widths would give inverted rectangles; draw nothing.
    if (Width <= 0)
        return 0;
    return std::max(1, qrRound(dotsPerUnit / 72 * 254 * Width));
}

void TQRFrame::DrawFrame(QPainter &canvas, int left, int top, int right, int bottom,
                         Extended dotsPerUnitX, Extended dotsPerUnitY) const
{
    const int tv = SideThickness(dotsPerUnitX);
    const int th = SideThickness(dotsPerUnitY);
    canvas.setBrush(QBrush(Color, Qt::SolidPattern));
    canvas.setPen(QPen(QBrush(Color), 1, PenStyleOf(Style)));
    // A filled side is solid whatever the pen style.
    if (DrawTop)
        canvas.fillRect(left, top, right - left, th, Color);
    if (DrawBottom)
        canvas.fillRect(left, bottom - th, right - left, th, Color);
    if (DrawLeft)
        canvas.fillRect(left, top, tv, bottom - top, Color);
    if (DrawRight)
        canvas.fillRect(right - tv, top, tv, bottom - top, Color);
    canvas.setBrush(Qt::NoBrush);
}
