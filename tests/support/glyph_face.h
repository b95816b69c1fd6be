#pragma once

#include <QFont>
#include <QString>

// Which installed face really draws a text: fallbacks happen per character,
// so a font's own family says nothing about its Chinese glyphs.
class GlyphFace {
public:
    // The face that draws the first character of `text` in `font`.
    static QString of(const QFont &font, const QString &text);
};
