#include "store/query.h"

#include "platform/core/convert.h"
#include "store/field_def.h"
#include "store/statement.h"

#include <QRegularExpression>
#include <sqlite3.h>

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

bool Query::comparedWithDate(sqlite3 *db, const QString &name) const
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
        const char *declared = nullptr;
        if (sqlite3_table_column_metadata(db, "main", from.toUtf8().constData(), columnName.toUtf8().constData(), &declared,
                                          nullptr, nullptr, nullptr, nullptr) == SQLITE_OK
            && FieldDef::fromDeclaredType(columnName, QString::fromUtf8(declared)).kind == GridSource::ColumnKind::DateTime)
            return true;
    }
    return false;
}

void Query::bindParameters(Statement &statement) const
{
    for (auto it = parameters_.cbegin(); it != parameters_.cend(); ++it) {
        // Dates are stored as ISO day text; bind them the same way so "=" matches
        // the day. A day given as text in the short date format is that day.
        if (it.value().typeId() == QMetaType::QDate)
            statement.bind(it.key(), it.value().toDate().toString(Qt::ISODate));
        else if (it.value().typeId() == QMetaType::QString && comparedWithDate(statement.database(), it.key()))
            statement.bind(it.key(), Convert::strToDate(it.value().toString()).toString(Qt::ISODate));
        else
            statement.bind(it.key(), it.value());
    }
}
