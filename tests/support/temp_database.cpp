#include "temp_database.h"

#include "store/database_creator.h"
#include "store/statement.h"

TempDatabase::TempDatabase() : directoryPath_(directory_.path())
{
    DatabaseCreator::create(path());
    connection_.setConnectionString(Connection::connectionStringFor(directoryPath_));
}

void TempDatabase::exec(const QString &sql, const QVariantList &values)
{
    Statement::execute(connection_.handle(), sql, values);
}

QVariant TempDatabase::scalar(const QString &sql, const QVariantList &values)
{
    return Statement::scalar(connection_.handle(), sql, values);
}
