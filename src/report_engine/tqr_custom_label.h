#pragma once

#include "report_engine/tqr_printable.h"

#include <QFont>
#include <QStringList>
#include <functional>

// An element whose text is laid out in lines by its own rules: breaks after
// spaces and hyphens, a paragraph per carriage return, words wider than the
// label cut to what fits, auto size to the widest line, and stretching onto
// the next page when its band cannot hold every line.
class TQRCustomLabel : public TQRPrintable {
public:
    explicit TQRCustomLabel(int screenResolution = 0);

    const QString &Caption() const { return caption_; }
    // Also sets PrintText and lays the text out again.
    void SetCaption(const QString &caption);
    // The text laid out and printed.
    const QString &PrintText() const { return printText_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool AutoStretch = false;
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    const QFont &Font() const { return font_; }
    // A font of its own; the label no longer follows its parent's.
    void SetFont(const QFont &font);
    // Follow the band's font (or the report's, where the band follows that).
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    // The font's point size; a stored value above 0 becomes the font's size.
    int FontSize() const;
    void SetFontSize(int points);
    QColor FontColor = Qt::black;
    // Called at print time with the text; a changed value is printed instead, for that print only.
    std::function<void(TQRCustomLabel *sender, QString &value)> OnPrint;

    const QStringList &WrappedLines() const { return wrappedLines_; }
    int NextLineIndex() const { return nextLineIndex_; }

    virtual bool IsCaptionBased() const { return true; }
    // Breaks PrintText into WrappedLines at the label's pixel width, then
    // applies the minimum height and auto size. Nothing happens without a parent.
    virtual void LayoutText();

    void PrepareForPrint(TQRPrinter *printer) override;
    void PrintAt(int offsetX, int offsetY) override;
    void AfterLoad() override;
    void SetParent(TQRControl *parent) override;

private:
    int MeasureLineWidth(const QString &text) const;
    void BreakParagraph(const QString &paragraph);
    void PlaceWord(QString word, int width);
    void EmitLine();
    // During PrintAt: whether the next line fits, growing the band when allowed.
    bool LineFits();
    void DrawLine(const QString &line);
    void TakeFont(const QFont &font);
    // The page canvas takes the font; returns the printed line height in report units.
    Extended TakePrintFont();

    QString caption_;
    QString printText_;
    bool autoSize_ = true;
    bool wordWrap_ = true;
    bool parentFont_ = true;
    QFont font_;
    QFont printFont_;  // font_ with the Chinese face behind it: measured and printed
    QStringList wrappedLines_;
    int nextLineIndex_ = 0;

    // Layout state of the paragraph being broken.
    QString line_;
    bool finished_ = false;

    // Print state of the current PrintAt, report units.
    struct PrintState {
        Extended left = 0, top = 0, width = 0, height = 0;
        Extended x = 0, y = 0, lineHeight = 0, bottomLimit = 0;
        bool canGrow = false;
        Extended granted = 0;
        bool alreadyGrown = false;
    } print_;
};
