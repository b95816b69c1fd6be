#include "report_engine/tqr_custom_label.h"

#include "platform/printing/print_font.h"
#include "platform/printing/text_measure.h"
#include "report_engine/tqr_custom_band.h"
#include "report_engine/tqr_custom_report.h"
#include "report_engine/tqr_printer.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Length of the first and the last whole character of a text (a surrogate pair counts as one).
int FirstCharLength(const QString &text)
{
    return text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate() ? 2 : 1;
}

int LastCharLength(const QString &text)
{
    const auto n = text.size();
    return n > 1 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate() ? 2 : 1;
}

}  // namespace

TQRCustomLabel::TQRCustomLabel(int screenResolution) : TQRPrintable(screenResolution)
{
    TakeFont(QFont(QStringLiteral("Arial"), 10));
}

void TQRCustomLabel::SetCaption(const QString &caption)
{
    caption_ = caption;
    printText_ = caption;
    LayoutText();
}

void TQRCustomLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    LayoutText();
}

void TQRCustomLabel::SetWordWrap(bool wordWrap)
{
    wordWrap_ = wordWrap;
    LayoutText();
}

void TQRCustomLabel::SetFont(const QFont &font)
{
    parentFont_ = false;
    TakeFont(font);
}

void TQRCustomLabel::SetParentFont(bool parentFont)
{
    parentFont_ = parentFont;
    if (!parentFont_)
        return;
    const TQRCustomBand *band = ParentBand();
    if (band && !band->ParentFont)
        TakeFont(band->Font);
    else if (const TQRCustomReport *report = ParentReport())
        TakeFont(report->Font());
}

void TQRCustomLabel::TakeFont(const QFont &font)
{
    font_ = font;
    printFont_ = PrintFont::withChineseFace(font);
    LayoutText();
}

int TQRCustomLabel::FontSize() const
{
    return font_.pointSize();
}

void TQRCustomLabel::SetFontSize(int points)
{
    if (points <= 0)
        return;
    QFont font = font_;
    font.setPointSize(points);
    SetFont(font);
}

void TQRCustomLabel::SetParent(TQRControl *parent)
{
    TQRPrintable::SetParent(parent);
    if (parentFont_)
        SetParentFont(true);
    else
        LayoutText();
}

void TQRCustomLabel::AfterLoad()
{
    TQRPrintable::AfterLoad();
    LayoutText();
}

int TQRCustomLabel::MeasureLineWidth(const QString &text) const
{
    if (const TQRCustomReport *report = ParentReport())
        return qrRound(Extended(report->MeasureTextWidth(printFont_, text)) * Size().Zoom() / 100);
    static const TextMeasure ownCanvas;
    const auto extent = ownCanvas.Extent(printFont_, text);
    return extent ? extent->width() : 0;
}

void TQRCustomLabel::LayoutText()
{
    const TQRCustomReport *report = ParentReport();
    if (!Parent() || (report && report->Loading()))
        return;
    wrappedLines_.clear();
    QString text = printText_;
    text.remove(QLatin1Char('\n'));
    for (const QString &paragraph : text.split(QLatin1Char('\r')))
        BreakParagraph(paragraph);
    if (!report || Size().Updating())
        return;
    const int lineHeight = qrRound(Extended(report->MeasureTextHeight(printFont_, printText_)) * Size().Zoom() / 100) + 1;
    if (Height() < lineHeight)
        SetBounds(Left(), Top(), Width(), lineHeight);
    if (!autoSize_)
        return;
    int widest = 0;
    for (const QString &line : wrappedLines_)
        widest = std::max(widest, MeasureLineWidth(line));
    if (Frame().DrawLeft)
        widest += Frame().Width;
    if (Frame().DrawRight)
        widest += Frame().Width;
    int left = Left();
    if (Alignment() == taRightJustify)
        left += Width() - widest;
    else if (Alignment() == taCenter)
        left += (Width() - widest) / 2;
    if (left != Left() || widest != Width())
        SetBounds(left, Top(), widest, Height());
}

void TQRCustomLabel::BreakParagraph(const QString &paragraph)
{
    line_.clear();
    finished_ = false;
    if (autoSize_) {
        // Auto-sized labels never wrap.
        line_ = paragraph;
        EmitLine();
        return;
    }
    const int width = Width();
    qsizetype start = 0;
    while (start < paragraph.size()) {
        qsizetype end = start;
        while (end < paragraph.size() && paragraph[end] != QLatin1Char(' ') && paragraph[end] != QLatin1Char('-'))
            ++end;
        end = std::min(end + 1, paragraph.size());  // the space or hyphen stays with its word
        PlaceWord(paragraph.mid(start, end - start), width);
        start = end;
    }
    if (!finished_)
        EmitLine();
}

void TQRCustomLabel::PlaceWord(QString word, int width)
{
    if (finished_)
        return;  // with WordWrap off only the first line of a paragraph is kept
    if (MeasureLineWidth(line_ + word) <= width) {
        line_ += word;
        return;
    }
    if (line_.isEmpty()) {
        // A word too wide on its own: what stays strictly narrower than the label.
        while (!word.isEmpty()) {
            const QString next = word.left(FirstCharLength(word));
            if (MeasureLineWidth(line_ + next) >= width)
                break;
            line_ += next;
            word.remove(0, next.size());
        }
        word.clear();
    }
    EmitLine();
    if (MeasureLineWidth(word) > width) {
        if (width == 0) {
            word.clear();
        } else {
            while (!word.isEmpty() && MeasureLineWidth(word) > width)
                word.chop(LastCharLength(word));
            line_ = word;
            EmitLine();
            word.clear();
        }
    }
    if (!wordWrap_) {
        word.clear();
        finished_ = true;
    }
    line_ += word;
}

void TQRCustomLabel::EmitLine()
{
    wrappedLines_.append(line_);
    line_.clear();
}

void TQRCustomLabel::PrepareForPrint(TQRPrinter *printer)
{
    TQRPrintable::PrepareForPrint(printer);
    SetCaption(caption_);
}

Extended TQRCustomLabel::TakePrintFont()
{
    QPainter &canvas = ParentPrinter()->PageCanvas();
    canvas.setFont(printFont_);
    const QFontMetrics metrics(printFont_, canvas.device());
    return Extended(metrics.height()) / ParentPrinter()->DotsPerUnitY();
}

void TQRCustomLabel::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint() || !ParentPrinter())
        return;
    TQRPrinter &printer = *ParentPrinter();
    PrintState &p = print_;
    p = PrintState();
    p.lineHeight = TakePrintFont();
    p.left = Size().Left() + offsetX;
    p.top = Size().Top() + offsetY;
    p.width = Size().Width();
    p.height = Size().Height();
    p.canGrow = AutoStretch;

    const QString savedText = printText_;
    bool replaced = false;
    if (!printText_.isEmpty() && OnPrint) {
        QString value = printText_;
        OnPrint(this, value);
        p.lineHeight = TakePrintFont();
        p.height = Size().Height();
        if (value != printText_) {
            printText_ = value;
            replaced = true;
        }
    }
    LayoutText();
    const Extended oldWidth = p.width;
    p.width = Size().Width();

    if (!Transparent) {
        printer.PageCanvas().fillRect(DeviceRect(p.left, p.top, p.left + p.width, p.top + p.height), Color);
    }
    if (Frame().HasAnySide()) {
        const int inset = qrRound(Extended(Frame().Width) / 72 * 254);
        if (Frame().DrawTop)
            p.top += inset;
        if (Frame().DrawLeft)
            p.left += inset;
    }
    p.bottomLimit = p.top + p.height + 1;
    p.y = p.top;
    p.x = p.left;
    if (autoSize_ && Alignment() == taRightJustify)
        p.x = p.left - (p.width - oldWidth);
    else if (autoSize_ && Alignment() == taCenter)
        p.x = p.left - (p.width - oldWidth) / 2;

    if (PrintComplete())
        nextLineIndex_ = 0;
    p.alreadyGrown = false;
    while (nextLineIndex_ < wrappedLines_.size() && LineFits()) {
        if (!wrappedLines_[nextLineIndex_].isEmpty())
            DrawLine(wrappedLines_[nextLineIndex_]);
        p.y += p.lineHeight;
        ++nextLineIndex_;
    }
    SetPrintComplete(!(nextLineIndex_ < wrappedLines_.size() && AutoStretch));

    printer.PageCanvas().setClipping(false);
    if (replaced)
        printText_ = savedText;
    DrawFrameAround(p.left, p.top, p.left + p.width, p.top + Size().Height() + p.granted);
}

bool TQRCustomLabel::LineFits()
{
    PrintState &p = print_;
    if (p.y + p.lineHeight <= p.bottomLimit)
        return true;
    TQRCustomBand *band = ParentBand();
    if (!p.canGrow || !band || !band->CanGrow(p.lineHeight))
        return false;
    const Extended before = p.granted;
    band->GrowBand(p.lineHeight, p.granted, p.alreadyGrown);
    p.bottomLimit = p.top + p.height + 1 + p.granted;
    if (!Transparent) {
        ParentPrinter()->PageCanvas().fillRect(
            DeviceRect(p.left, p.top + p.height + before, p.left + p.width, p.top + p.height + p.granted), Color);
    }
    return true;
}

void TQRCustomLabel::DrawLine(const QString &line)
{
    TQRPrinter &printer = *ParentPrinter();
    QPainter &canvas = printer.PageCanvas();
    const QFontMetrics metrics(printFont_, canvas.device());
    const PrintState &p = print_;
    int x = printer.ToDeviceX(p.x);
    if (Alignment() == taRightJustify)
        x = printer.ToDeviceX(p.x + p.width) - metrics.horizontalAdvance(line);
    else if (Alignment() == taCenter)
        x = printer.ToDeviceX(p.x + p.width / 2) - metrics.horizontalAdvance(line) / 2;
    // The position is the line's top; the canvas draws from the baseline.
    canvas.setPen(FontColor);
    canvas.drawText(QPoint(x, printer.ToDeviceY(p.y) + metrics.ascent()), line);
}
