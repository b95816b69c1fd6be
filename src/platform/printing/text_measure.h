#pragma once

#include <QImage>
#include <QSize>
#include <optional>

class QFont;
class QString;

// Text extents on a surface that measures like the screen at 96 pixels per
// inch, so layout never depends on the printer or the monitor in use; Chinese
// text is measured in the face it prints in (PrintFont).
class TextMeasure {
public:
    TextMeasure();

    // Width and line height of `text` in `font`, in pixels; none when text
    // cannot be measured (no GUI application yet).
    std::optional<QSize> Extent(const QFont &font, const QString &text) const;

private:
    QImage surface_;
};
