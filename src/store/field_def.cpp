#include "store/field_def.h"

#include <QRegularExpression>

FieldDef FieldDef::fromDeclaredType(const QString &name, const QString &declaredType)
{
    using Kind = GridSource::ColumnKind;
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const QString type = declaredType.toUpper();
    FieldDef field{name, Kind::Text, 0};
    if (type.contains(QLatin1String("INT")))
        field.kind = Kind::Integer;
    else if (type.contains(QLatin1String("MEMO")) || type == QLatin1String("TEXT"))
        field.kind = Kind::Memo;
    else if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        field.kind = Kind::DateTime;
    else if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
             || type.contains(QLatin1String("DOUB")))
        field.kind = Kind::Float;
    else if (const auto match = width.match(type); match.hasMatch())
        field.size = match.captured(1).toInt();
    return field;
}
