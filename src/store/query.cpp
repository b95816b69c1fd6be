#include "store/query.h"

#include "platform/core/convert.h"
#include "store/connection.h"
#include "store/field_def.h"

#include <QRegularExpression>

void Query::setParameter(const QString &name, const QVariant &value)
{
    parameters_[name] = value;
}

void Query::Reopen(const QStringList &lines)
{
    Close();
    lines_ = lines;
    Open();
}

QString Query::selectText() const
{
    return lines_.join('\n');
}

bool Query::comparedWithDate(const QString &name) const
{
    const QString text = selectText();
    static const QRegularExpression table(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString from = table.match(text).captured(1);
    const QString column = QStringLiteral("([A-Za-z_][A-Za-z0-9_]*)");
    const QString comparison = QStringLiteral("\\s*(?:==|=|<>|!=|<=|>=|<|>)\\s*");
    const QString parameter = ':' + QRegularExpression::escape(name) + QStringLiteral("\\b");
    const QRegularExpression compared(column + comparison + parameter + '|' + parameter + comparison + column);
    for (auto it = compared.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString columnName = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
        const QString declared = connection()->columnType(from, columnName);
        if (!declared.isEmpty() && FieldDef::fromDeclaredType(columnName, declared).kind == GridSource::ColumnKind::DateTime)
            return true;
    }
    return false;
}

RowSource::Parameters Query::parameters() const
{
    RowSource::Parameters bound;
    for (auto it = parameters_.cbegin(); it != parameters_.cend(); ++it) {
        // Dates are stored as ISO day text (a day at midnight on the server);
        // bind them the same way so "=" matches the day. A day given as text
        // in the short date format is that day.
        if (it.value().typeId() == QMetaType::QDate)
            bound[it.key()] = it.value().toDate().toString(Qt::ISODate);
        else if (it.value().typeId() == QMetaType::QString && comparedWithDate(it.key()))
            bound[it.key()] = Convert::strToDate(it.value().toString()).toString(Qt::ISODate);
        else
            bound[it.key()] = it.value();
    }
    return bound;
}
