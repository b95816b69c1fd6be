#include "platform/widgets/group_box.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace {
// The caption starts this far in from the frame's left edge, with a blank
// either side of its text.
constexpr int captionIndent = 8;
constexpr int captionPadding = 2;
} // namespace

GroupBox::GroupBox(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) {}

void GroupBox::paintEvent(QPaintEvent *)
{
    const QFontMetrics metrics = fontMetrics();
    QPainter painter(this);
    // The etched line of the classic frame; the style's own group-box frame
    // would add the caption's height above it again.
    qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true);
    if (title().isEmpty())
        return;
    const QRect caption(captionIndent, 0, metrics.horizontalAdvance(title()) + 2 * captionPadding, metrics.height());
    painter.fillRect(caption, palette().brush(backgroundRole()));
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}
