#include "store/select_shape.h"

#include <QRegularExpression>

std::optional<SelectShape> SelectShape::of(const QString &text)
{
    using Re = QRegularExpression;
    static const Re shape(QStringLiteral("^\\s*select\\s+(.+?)\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)\\s*(where\\s.*)?$"),
                          Re::CaseInsensitiveOption | Re::DotMatchesEverythingOption);
    // A function in the column list may aggregate rows; these words change
    // which rows or how many come back.
    static const Re other(QStringLiteral("\\b(distinct|group|order|limit|union|intersect|except|join)\\b"),
                          Re::CaseInsensitiveOption);
    const auto match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    SelectShape result{match.captured(1).trimmed(), match.captured(2), match.captured(3).trimmed()};
    if (result.columns.contains('(') || other.match(text).hasMatch())
        return std::nullopt;
    return result;
}

QString SelectShape::withRowid(const QString &tail) const
{
    return QStringLiteral("select _rowid_, %1 from %2 %3").arg(columns, table, tail);
}

QString SelectShape::rowidsInOrder(Walk walk) const
{
    // The condition keeps its own precedence inside the brackets.
    const QString matching = condition.isEmpty() ? QString() : '(' + condition.mid(5).trimmed() + QStringLiteral(") and ");
    return QStringLiteral("select _rowid_ from %1 where %2_rowid_ > :rowid_after_ and _rowid_ <= :rowid_bound_ "
                          "order by _rowid_%3 limit :rowid_limit_")
        .arg(table, matching, walk == Walk::Descending ? QStringLiteral(" desc") : QString());
}
