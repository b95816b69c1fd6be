#include "glyph_face.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

QString GlyphFace::of(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}
