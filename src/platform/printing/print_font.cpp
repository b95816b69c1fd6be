#include "platform/printing/print_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
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

// The installed family a font's name resolves to. Resolving loads a font
// engine for the exact size and weight, and a report asks for many of those
// while it loads, so the answer is kept per name and style hint: neither size
// nor weight changes which family a name stands for.
QString InstalledFamily(const QFont &font)
{
    static QMutex mutex;
    static QHash<QString, QString> resolved;
    const QString key = font.family() + QLatin1Char('\n') + QString::number(font.styleHint());
    const QMutexLocker lock(&mutex);
    auto found = resolved.constFind(key);
    if (found == resolved.constEnd())
        found = resolved.insert(key, QFontInfo(font).family());
    return *found;
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
    const QString own = InstalledFamily(font);
    printed.setFamilies(own == chinese ? QStringList{chinese} : QStringList{own, chinese});
    return printed;
}
