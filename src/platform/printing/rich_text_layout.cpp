#include "platform/printing/rich_text_layout.h"

#include "platform/printing/print_font.h"

#include <QPainter>
#include <QPaintDevice>
#include <QTextLayout>

namespace {

// Characters laid out at a time inside one paragraph: a page never needs all
// of a paragraph that runs over many pages, so each page costs only its own text.
constexpr int ChunkSize = 2048;

int ToDots(int twips, int dotsPerInch)
{
    const qint64 scaled = qint64(twips) * dotsPerInch;
    return int((scaled >= 0 ? scaled + 720 : scaled - 720) / 1440);
}

}  // namespace

RichTextLayout::RichTextLayout() = default;
RichTextLayout::~RichTextLayout() = default;

void RichTextLayout::setText(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    normalized.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    text_ = normalized;
    dropCache();
}

void RichTextLayout::setFont(const QFont &font)
{
    font_ = PrintFont::withChineseFace(font);
    dropCache();
}

void RichTextLayout::setColor(const QColor &color)
{
    color_ = color;
}

void RichTextLayout::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    dropCache();
}

void RichTextLayout::dropCache()
{
    cache_.reset();
}

int RichTextLayout::formatRange(bool render, const Request &request)
{
    QPainter *canvas = request.canvas;
    if (!canvas || !canvas->isActive() || !canvas->device())
        return -1;
    QPaintDevice *device = canvas->device();
    const int dpiX = device->logicalDpiX();
    const int dpiY = device->logicalDpiY();
    const int end = request.end < 0 ? length() : std::min(request.end, length());
    const int left = ToDots(request.rect.left, dpiX);
    const int top = ToDots(request.rect.top, dpiY);
    const int width = ToDots(request.rect.right, dpiX) - left;
    const int height = ToDots(request.rect.bottom, dpiY) - top;
    if (dpiX <= 0 || dpiY <= 0 || width <= 0 || height <= 0 || request.start < 0 || request.start > end)
        return -1;
    const Key key{device, request.start, end, width, height, dpiX, dpiY};
    if (!cache_ || !(cache_->key == key))
        cache_ = layOut(key, device);
    if (render) {
        canvas->save();
        canvas->setPen(color_);
        for (const PlacedLine &placed : cache_->lines)
            placed.layout->lineAt(placed.index).draw(canvas, QPointF(left, top));
        canvas->restore();
    }
    return cache_->next;
}

std::unique_ptr<RichTextLayout::Laid> RichTextLayout::layOut(const Key &key, QPaintDevice *device) const
{
    auto laid = std::make_unique<Laid>();
    laid->key = key;
    QTextOption option(alignment_);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int position = key.start;
    qreal y = 0;
    while (position < key.end) {
        const int limit = std::min(key.end, position + ChunkSize);
        int stop = position;
        while (stop < limit && text_[stop] != QLatin1Char('\r'))
            ++stop;
        const bool wholeParagraph = stop < limit || limit == key.end;
        auto layout = std::make_unique<QTextLayout>(text_.mid(position, stop - position), font_, device);
        layout->setTextOption(option);
        layout->beginLayout();
        int placed = 0;  // characters of this piece that found room
        bool full = false;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(key.width);
            const int lineEnd = line.textStart() + line.textLength();
            // A chunk's last line may be cut short by the chunk: it is laid out
            // again together with the text that follows.
            if (!wholeParagraph && lineEnd >= stop - position && line.lineNumber() > 0)
                break;
            if (!laid->lines.empty() && y + line.height() > key.height) {
                full = true;
                break;
            }
            line.setPosition(QPointF(0, y));
            y += line.height();
            laid->lines.push_back({layout.get(), line.lineNumber()});
            placed = lineEnd;
        }
        layout->endLayout();
        laid->layouts.push_back(std::move(layout));
        if (full || !wholeParagraph) {
            position += placed;
            if (full)
                break;
            continue;
        }
        position = stop < key.end ? stop + 1 : stop;  // the carriage return ends the paragraph
    }
    laid->next = position;
    return laid;
}
