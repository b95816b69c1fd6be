#include "platform/printing/text_measure.h"

#include "platform/printing/print_font.h"

#include <QFontMetrics>
#include <QGuiApplication>

namespace {
constexpr int DotsPerMeterAt96 = 3780;  // 96 / 0.0254, rounded
}

TextMeasure::TextMeasure() : surface_(1, 1, QImage::Format_RGB32)
{
    surface_.setDotsPerMeterX(DotsPerMeterAt96);
    surface_.setDotsPerMeterY(DotsPerMeterAt96);
}

std::optional<QSize> TextMeasure::Extent(const QFont &font, const QString &text) const
{
    if (!qGuiApp)
        return std::nullopt;
    const QFontMetrics metrics(PrintFont::withChineseFace(font), &surface_);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}
