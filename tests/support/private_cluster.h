#pragma once

#include <QString>

// A PostgreSQL cluster of this test program's own: created in a temporary
// folder at first use, listening only on a Unix socket in that folder, and
// removed when the program ends. The server's own programs come from the
// Debian package (never whatever else is on the PATH); as root they run as the
// `postgres` system user, because the server refuses to run as root.
class PrivateCluster {
public:
    static PrivateCluster &instance();
    ~PrivateCluster();

    // A new empty database; returns the libpq connection string for it.
    QString createDatabase();
    // A new database with the workstation's tables, as ruvured-createdb --server
    // makes it (a copy of one made so at the first call).
    QString createWorkstationDatabase();
    // The connection string for an existing database of the cluster.
    QString conninfo(const QString &database) const;

private:
    PrivateCluster();
    void run(const QString &command) const;

    QString folder_;
    QString bin_;
    bool asPostgres_ = false;
    int databases_ = 0;
    bool workstationReady_ = false;
};
