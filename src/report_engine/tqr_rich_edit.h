#pragma once

#include "platform/printing/rich_text_layout.h"
#include "report_engine/qr_types.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QStringList>

// The hidden editing control that holds a rich text's content and lays it out
// on the printer. It is never shown; its line list is the content, each line a
// paragraph, and a carriage return inside a line ends a paragraph too.
class TQRRichEdit {
public:
    TQRRichEdit();

    const QStringList &Lines() const { return lines_; }
    void SetLines(const QStringList &lines);
    // Characters of the content as it is laid out (paragraph ends count one each).
    int TextLength() const { return layout_.length(); }

    const QFont &Font() const { return font_; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    QColor Color = Qt::white;  // background of the editing control; never printed

    // Placement inside its element, pixels.
    QRect Bounds() const { return bounds_; }
    void SetBounds(const QRect &bounds) { bounds_ = bounds; }

    // Lays out (and with `render` draws) from the request's start; the first
    // character that did not fit, the length when all did, -1 on failure.
    int FormatRange(bool render, const RichTextLayout::Request &request);
    // Drops the layout kept between calls.
    void DropFormatCache() { layout_.dropCache(); }

private:
    QStringList lines_;
    QFont font_;
    QColor fontColor_ = Qt::black;
    TAlignment alignment_ = taLeftJustify;
    QRect bounds_;
    RichTextLayout layout_;
};
