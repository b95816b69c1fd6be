#include "platform/printing/report_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QStringList>

const QString ReportFont::ChineseFamily = QStringLiteral("Noto Sans CJK SC");

QFont ReportFont::withChineseFace(const QFont &font)
{
    if (!qGuiApp)
        return font;  // no font database yet, and nothing to draw with
    QStringList families = font.families();
    if (families.isEmpty())
        families.append(font.family());
    // A listed family that is only an alias (Arial) would hand the Latin
    // text to the Chinese face too; the resolved family keeps it where it was.
    QFont latin = font;
    latin.setFamilies({});
    latin.setFamily(families.first());
    const QString resolved = QFontInfo(latin).family();
    if (!families.contains(resolved))
        families.insert(1, resolved);
    if (!families.contains(ChineseFamily))
        families.append(ChineseFamily);
    QFont result = font;
    result.setFamilies(families);
    return result;
}
