#pragma once

#include "report_engine/qr_types.h"

#include <QColor>

class QPainter;

// The frame of a report, band or element: which sides to draw, in what
// colour, pen style and thickness.
class TQRFrame {
public:
    QColor Color = Qt::black;
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    TPenStyle Style = psSolid;
    int Width = 1;  // points (1/72 inch); -1 is one device pixel

    bool HasAnySide() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }

    // Fills the enabled sides inside the device-pixel rectangle whose corners
    // are (left, top) and (right, bottom), right and bottom excluded.
    // dotsPerUnitX/Y: device pixels per report unit.
    void DrawFrame(QPainter &canvas, int left, int top, int right, int bottom,
                   Extended dotsPerUnitX, Extended dotsPerUnitY) const;

    // Thickness in device pixels of a side on an axis with `dotsPerUnit`.
    int SideThickness(Extended dotsPerUnit) const;
};
