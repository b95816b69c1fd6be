#include "platform/widgets/ui_font.h"

#include <QStringList>

QFont UiFont::make(int pixelHeight, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
