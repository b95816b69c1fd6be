#pragma once

#include <QFont>

// The windows were drawn with an 11-pixel sans-serif face; this gives the
// Linux equivalent with a Chinese fallback so captions never show boxes.
class UiFont {
public:
    // `pixelHeight`: character height in screen pixels.
    static QFont make(int pixelHeight, bool bold = false);
};
