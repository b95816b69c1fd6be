#include "store/table_data_set.h"

TableDataSet::TableDataSet(Connection *connection, const QString &name, const QString &table, QObject *parent)
    : DataSet(connection, name, parent), table_(table)
{
}

void TableDataSet::declareWidth(const QString &column, int characters)
{
    widths_[column.toLower()] = characters;
}

QString TableDataSet::selectText() const
{
    return QStringLiteral("select * from ") + table_;
}

int TableDataSet::declaredWidth(const QString &column) const
{
    return widths_.value(column.toLower(), 0);
}
