#pragma once

#include <QByteArray>
#include <QChar>

// The text a reader takes from a printed PDF. Qt's PDF writer gives every
// glyph the lowest code point that the font maps to it, so an ideograph that
// shares its glyph with a radical (人 with ⼈, 见 with ⻅) reads back as the
// radical: a search for "病人" in the report would fail. The report never
// prints radicals, so their glyphs are read as the ideographs.
class PdfTextMap {
public:
    // `pdf` with every character map (ToUnicode) pointing radicals at their
    // ideographs; the pages are untouched. A document it cannot read comes
    // back unchanged.
    static QByteArray preferIdeographs(const QByteArray &pdf);

    // The ideograph a radical stands for, or `c` itself.
    static char16_t ideographOf(char16_t c);
};
