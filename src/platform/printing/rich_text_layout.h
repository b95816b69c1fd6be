#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QTextLayout;

// Lays out a text in paragraphs into a box on a printer page at the device's
// own resolution, and draws it. This is the format-range operation a report's
// rich texts print through: it places a range of characters from a start
// position, and tells where the next page has to go on.
//
// Paragraphs end at a carriage return; a CR LF pair and a lone LF count as one
// carriage return, so positions run over the text as `text()` gives it. Lines
// break at word boundaries, between any two Chinese characters (with the usual
// rules for punctuation at line starts and ends), and anywhere inside a word
// wider than the box, so no character is ever dropped. A box always takes at
// least one line, so every page makes progress.
class RichTextLayout {
public:
    // A rectangle in twips (1/1440 inch) of the page, measured from the first
    // printable dot; right and bottom are the far edges.
    struct Twips {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    struct Request {
        QPainter *canvas = nullptr;  // draws here; its device measures
        Twips rect;                  // the box the text goes into
        int start = 0;               // first character placed
        int end = -1;                // one past the last character; -1: the text's end
    };

    RichTextLayout();
    ~RichTextLayout();
    RichTextLayout(const RichTextLayout &) = delete;
    RichTextLayout &operator=(const RichTextLayout &) = delete;

    void setText(const QString &text);
    const QString &text() const { return text_; }
    int length() const { return int(text_.size()); }
    void setFont(const QFont &font);
    void setColor(const QColor &color);
    void setAlignment(Qt::Alignment alignment);

    // Lays out the request's range, draws what fits when `render` is set, and
    // returns the first character that did not fit: the range's end when all
    // of it fit, -1 when there is no canvas, the box is empty or the start lies
    // outside the text. A repeated call with the same request reuses the layout.
    int formatRange(bool render, const Request &request);
    // Forgets the layout kept for repeated calls.
    void dropCache();

private:
    struct Key {
        const QPaintDevice *device;
        int start, end, width, height, dpiX, dpiY;
        bool operator==(const Key &) const = default;
    };
    struct PlacedLine {
        const QTextLayout *layout;
        int index;
    };
    struct Laid {
        Key key;
        std::vector<std::unique_ptr<QTextLayout>> layouts;
        std::vector<PlacedLine> lines;
        int next = 0;
    };

    std::unique_ptr<Laid> layOut(const Key &key, QPaintDevice *device) const;

    QString text_;
    QFont font_;
    QColor color_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    std::unique_ptr<Laid> cache_;
};
