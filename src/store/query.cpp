#include "store/query.h"

#include "store/statement.h"

void Query::setParameter(const QString &name, const QVariant &value)
{
    // Dates are stored as ISO day text; bind them the same way so "=" matches the day.
    if (value.typeId() == QMetaType::QDate)
        parameters_[name] = value.toDate().toString(Qt::ISODate);
    else
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

void Query::bindParameters(Statement &statement) const
{
    for (auto it = parameters_.cbegin(); it != parameters_.cend(); ++it)
        statement.bind(it.key(), it.value());
}
