#pragma once

#include "report_engine/qr_types.h"

#include <QRect>
#include <vector>

// The stored geometry of the diagnosis report, in one place: the definition
// (TQRReport7) loads it, and the tests that build reports of its shape read it
// from here. Values are report units (0.1 mm) in each size object's stored
// order; the pixel bounds beside them (96 per inch, zoom 100) are only a fallback.
namespace QRReport7Layout {

struct Geometry {
    std::vector<Extended> values;  // Height, Left, Top, Width
    QRect pixels;
};

// BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin, ColumnSpace
inline const std::vector<Extended> PageValues{100, 2970, 100, 2100, 100, 100, 0};

inline constexpr Extended BandWidth = 1899.7083333333335;
inline constexpr Extended PageHeaderHeight = 240.77083333333334;
inline constexpr Extended TitleHeight = 127.0;
inline constexpr Extended DetailHeight = 2222.5;
inline constexpr Extended PageFooterHeight = 169.33333333333334;

// PageHeaderBand1
inline const Geometry QRLabel1{{92.60, 762.00, 21.17, 552.98}, {288, 8, 209, 35}};
inline const Geometry QRLabel2{{92.60, 613.83, 127.00, 849.31}, {232, 48, 321, 35}};

// TitleBand1
inline const Geometry QRLabel3{{60.85, 63.50, 42.33, 214.31}, {24, 16, 81, 23}};
inline const Geometry QRLabel_jlh{{60.85, 317.50, 42.33, 510.65}, {120, 16, 193, 23}};

// DetailBand1, in the order the band prints its elements
inline const Geometry QRShape2{{44.98, 42.33, 0.00, 1822.98}, {16, 0, 689, 17}};
inline const Geometry QRLabel4{{60.85, 63.50, 63.50, 277.81}, {24, 24, 105, 23}};
inline const Geometry QRLabel_xm{{60.85, 359.83, 63.50, 256.65}, {136, 24, 97, 23}};
inline const Geometry QRLabel5{{60.85, 698.50, 63.50, 171.98}, {264, 24, 65, 23}};
inline const Geometry QRLabel_xb{{60.85, 889.00, 63.50, 108.48}, {336, 24, 41, 23}};
inline const Geometry QRLabel6{{60.85, 1100.67, 63.50, 171.98}, {416, 24, 65, 23}};
inline const Geometry QRLabel_nl{{60.85, 1270.00, 63.50, 108.48}, {480, 24, 41, 23}};
inline const Geometry QRLabel7{{60.85, 63.50, 169.33, 277.81}, {24, 64, 105, 23}};
inline const Geometry QRLabel_ks{{60.85, 359.83, 169.33, 277.81}, {136, 64, 105, 23}};
inline const Geometry QRLabel8{{60.85, 63.50, 275.17, 277.81}, {24, 104, 105, 23}};
inline const Geometry QRLabel_bw{{60.85, 359.83, 275.17, 785.81}, {136, 104, 297, 23}};
inline const Geometry QRLabel9{{60.85, 698.50, 169.33, 277.81}, {264, 64, 105, 23}};
inline const Geometry QRLabel_zd{{60.85, 1037.17, 169.33, 764.65}, {392, 64, 289, 23}};
inline const Geometry QRShape1{{44.98, 42.33, 338.67, 1822.98}, {16, 128, 689, 17}};
inline const Geometry QRShape3{{44.98, 21.17, 2201.33, 1907.65}, {8, 832, 721, 17}};
inline const Geometry QRLabel11{{60.85, 1291.17, 2137.83, 298.98}, {488, 808, 113, 23}};
inline const Geometry QRLabel13{{60.85, 63.50, 465.67, 280.46}, {24, 176, 106, 23}};
inline const Geometry QRLabel14{{60.85, 63.50, 1460.50, 280.46}, {24, 552, 106, 23}};
inline const Geometry QRLabel15{{60.85, 1502.83, 63.50, 171.98}, {568, 24, 65, 23}};
inline const Geometry QRLabel_zz{{60.85, 1672.17, 63.50, 129.65}, {632, 24, 49, 23}};
inline const Geometry QRLabel16{{60.85, 296.33, 2137.83, 341.31}, {112, 808, 129, 23}};
inline const Geometry QRRichText1{{806.98, 148.17, 550.33, 1611.31}, {56, 208, 609, 305}};
inline const Geometry QRRichText2{{510.65, 148.17, 1587.50, 1611.31}, {56, 600, 609, 193}};

// PageFooterBand1
inline const Geometry QRLabel10{{50.27, 84.67, 21.17, 933.98}, {32, 8, 353, 19}};
inline const Geometry QRLabel12{{50.27, 1121.83, 21.17, 235.48}, {424, 8, 89, 19}};
inline const Geometry QRLabel_rq{{50.27, 1375.83, 21.17, 447.15}, {520, 8, 169, 19}};

}  // namespace QRReport7Layout
