#include "platform/printing/print_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QStringList>

namespace {

bool IsSerifFamily(const QFont &font)
{
    static const QStringList serifFamilies = {
        QStringLiteral("Times New Roman"), QStringLiteral("Serif"), QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"), QStringLiteral("FangSong"), QStringLiteral("KaiTi"),
        QStringLiteral("宋体"), QStringLiteral("新宋体"), QStringLiteral("仿宋"),
        QStringLiteral("仿宋_GB2312"), QStringLiteral("楷体"), QStringLiteral("楷体_GB2312")};
    return font.styleHint() == QFont::Serif || serifFamilies.contains(font.family(), Qt::CaseInsensitive);
}

}  // namespace

QFont PrintFont::withChineseFace(const QFont &font)
{
    if (!qGuiApp)
        return font;  // no font database before the application exists
    QFont printed = font;
    const QString chinese = IsSerifFamily(font) ? QStringLiteral("Noto Serif CJK SC")
                                                : QStringLiteral("Noto Sans CJK SC");
    // A family list takes its first installed name, so a name that is only an
    // alias ("Arial" for Liberation Sans) is resolved first; otherwise the
    // Chinese face would take over the Latin text and the metrics.
    const QString own = QFontInfo(font).family();
    printed.setFamilies(own == chinese ? QStringList{chinese} : QStringList{own, chinese});
    return printed;
}
