#pragma once

#include <QFont>

// Fonts of text on paper. Chinese characters come from the Simplified
// Chinese face of Noto CJK, named outright: left to fontconfig, the C locale
// picks the Japanese face, whose forms of many characters differ.
class ReportFont {
public:
    static const QString ChineseFamily;  // "Noto Sans CJK SC"

    // `font` with the face it resolves to for Latin text (the metric twin of
    // Arial, for example) and then the Chinese face.
    static QFont withChineseFace(const QFont &font);
};
