#include "temp_database.h"

#include "private_cluster.h"
#include "store/database_creator.h"
#include "store/server_session.h"
#include "store/statement.h"

#include <QFile>
#include <stdexcept>

std::string engineName(Engine engine)
{
    return engine == Engine::Server ? "Server" : "File";
}

Engine engineOfThisRun()
{
    return qgetenv("RUVURED_TEST_ENGINE") == "server" ? Engine::Server : Engine::File;
}

std::string engineTestName(const ::testing::TestParamInfo<Engine> &info)
{
    return engineName(info.param);
}

TempDatabase::TempDatabase(Engine engine) : engine_(engine), directoryPath_(directory_.path())
{
    if (engine_ == Engine::Server) {
        const QString conninfo = PrivateCluster::instance().createWorkstationDatabase();
        other_ = std::make_unique<ServerSession>(conninfo);
        connection_.setServer(conninfo);
        // A program started in the folder finds the server as a site's would.
        QFile ini(directoryPath_ + QStringLiteral("/ruvured.ini"));
        if (!ini.open(QIODevice::WriteOnly) || ini.write(("[database]\nserver=" + conninfo + '\n').toUtf8()) < 0)
            throw std::runtime_error("cannot write " + ini.fileName().toStdString());
        return;
    }
    DatabaseCreator::create(path());
    connection_.setConnectionString(Connection::connectionStringFor(directoryPath_));
}

TempDatabase::~TempDatabase() = default;

void TempDatabase::exec(const QString &sql, const QVariantList &values)
{
    if (other_)
        other_->exec(sql, values);
    else
        Statement::execute(connection_.handle(), sql, values);
}

QVariant TempDatabase::scalar(const QString &sql, const QVariantList &values)
{
    return other_ ? other_->scalar(sql, values) : Statement::scalar(connection_.handle(), sql, values);
}

QStringList TempDatabase::rows(const QString &sql)
{
    const auto text = [](const QVariant &value) { return value.isNull() ? QStringLiteral("<null>") : value.toString(); };
    QStringList result;
    if (other_) {
        const ServerSession::Result rows = other_->exec(sql);
        for (int row = 0; row < rows.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < rows.columnCount(); ++column)
                cells << text(rows.value(row, column));
            result << cells.join('|');
        }
        return result;
    }
    Statement statement(connection_.handle(), sql);
    while (statement.step()) {
        QStringList cells;
        for (int column = 0; column < statement.columnCount(); ++column)
            cells << text(statement.value(column));
        result << cells.join('|');
    }
    return result;
}
