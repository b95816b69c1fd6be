#include "private_cluster.h"

#include "store/server_schema.h"
#include "store/server_session.h"

#include <QDir>
#include <QFile>
#include <QVersionNumber>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// The newest server installed by the Debian package.
QString serverBinaries()
{
    QString best;
    QVersionNumber newest;
    for (const QString &version : QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
        const QVersionNumber number = QVersionNumber::fromString(version);
        if (QFile::exists(bin + QStringLiteral("/initdb")) && number > newest) {
            newest = number;
            best = bin;
        }
    }
    if (best.isEmpty())
        throw std::runtime_error("PostgreSQL server not installed (scripts/setup installs it)");
    return best;
}

} // namespace

PrivateCluster &PrivateCluster::instance()
{
    // Destroyed at exit, which stops the server.
    static PrivateCluster cluster;
    return cluster;
}

PrivateCluster::PrivateCluster() : bin_(serverBinaries())
{
    // Under /tmp, never under the build folder: a checkout in /root cannot be entered by `postgres`.
    QByteArray folder = "/tmp/ruvured-pg-XXXXXX";
    if (!::mkdtemp(folder.data()))
        throw std::runtime_error("cannot create the cluster folder");
    folder_ = QString::fromLocal8Bit(folder);
    asPostgres_ = ::geteuid() == 0;
    if (asPostgres_) {
        const passwd *postgres = ::getpwnam("postgres");
        if (!postgres || ::chown(folder.constData(), postgres->pw_uid, postgres->pw_gid) != 0)
            throw std::runtime_error("cannot hand the cluster folder to the postgres user");
    }
    run(QStringLiteral("%1/initdb -D %2/data -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >%2/initdb.log 2>&1")
            .arg(bin_, folder_));
    // No TCP port at all; fsync off because the cluster dies with the test.
    run(QStringLiteral("%1/pg_ctl -D %2/data -l %2/server.log -w -o \"-c listen_addresses= -k %2 -F\" start >/dev/null")
            .arg(bin_, folder_));
}

PrivateCluster::~PrivateCluster()
{
    try {
        run(QStringLiteral("%1/pg_ctl -D %2/data -m immediate -w stop >/dev/null 2>&1").arg(bin_, folder_));
    } catch (const std::exception &) {
        // Removing the folder below takes the data with it whatever the server did.
    }
    QDir(folder_).removeRecursively();
}

void PrivateCluster::run(const QString &command) const
{
    const QString line = asPostgres_ ? QStringLiteral("runuser -u postgres -- sh -c '%1'").arg(command) : command;
    if (std::system(line.toLocal8Bit().constData()) != 0)
        throw std::runtime_error(("failed: " + line + " (logs in " + folder_ + ")").toStdString());
}

QString PrivateCluster::conninfo(const QString &database) const
{
    return QStringLiteral("host=%1 user=postgres dbname=%2").arg(folder_, database);
}

QString PrivateCluster::createDatabase()
{
    const QString name = QStringLiteral("test_%1").arg(++databases_);
    ServerSession(conninfo(QStringLiteral("postgres"))).exec(QStringLiteral("create database %1 template template0").arg(name));
    return conninfo(name);
}

QString PrivateCluster::createWorkstationDatabase()
{
    // The tables are made once; every later database is a copy of that one,
    // which takes a few milliseconds where creating the tables takes many.
    const QString workstation = QStringLiteral("workstation");
    ServerSession cluster(conninfo(QStringLiteral("postgres")));
    if (!workstationReady_) {
        cluster.exec(QStringLiteral("create database %1 template template0").arg(workstation));
        ServerSession session(conninfo(workstation));
        session.exec(QStringLiteral("begin"));
        ServerSchema::create(session);
        session.exec(QStringLiteral("commit"));
        workstationReady_ = true;
    }
    const QString name = QStringLiteral("test_%1").arg(++databases_);
    cluster.exec(QStringLiteral("create database %1 template %2").arg(name, workstation));
    return conninfo(name);
}
