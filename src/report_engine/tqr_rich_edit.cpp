#include "report_engine/tqr_rich_edit.h"

TQRRichEdit::TQRRichEdit()
{
    SetFont(QFont(QStringLiteral("Arial"), 10));
}

void TQRRichEdit::SetLines(const QStringList &lines)
{
    lines_ = lines;
    layout_.setText(lines_.join(QLatin1Char('\r')));
}

void TQRRichEdit::SetFont(const QFont &font)
{
    font_ = font;
    layout_.setFont(font);
}

void TQRRichEdit::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    layout_.setColor(color);
}

void TQRRichEdit::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    layout_.setAlignment(alignment == taRightJustify ? Qt::AlignRight
                         : alignment == taCenter   ? Qt::AlignHCenter
                                                   : Qt::AlignLeft);
}

int TQRRichEdit::FormatRange(bool render, const RichTextLayout::Request &request)
{
    return layout_.formatRange(render, request);
}
