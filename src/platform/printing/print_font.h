#pragma once

#include <QFont>

// Fonts for printed pages. A report names Western faces ("Arial", whose
// metrics Liberation Sans provides); the Chinese characters of its texts come
// from the Simplified Chinese face of Noto CJK, named explicitly so the locale
// never picks the Japanese or Korean glyphs.
class PrintFont {
public:
    // `font` with the Chinese face behind its own: serif faces fall back to
    // "Noto Serif CJK SC", all others to "Noto Sans CJK SC".
    static QFont withChineseFace(const QFont &font);
};
