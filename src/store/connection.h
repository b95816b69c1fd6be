#pragma once

#include <QString>

struct sqlite3;

// The program's one database connection. It opens an existing workstation
// database and never creates one: a missing, foreign, newer, damaged or
// read-only file is reported and left exactly as it was.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // "provider=...;Data Source=<dir>/ruvured.mdb; Persist Security Info=false"
    static QString connectionStringFor(const QString &programDirectory);

    void setConnectionString(const QString &text);
    const QString &connectionString() const { return connectionString_; }
    // The file named by "Data Source" in the connection string.
    QString databasePath() const;

    // Throws Failure with the reason the file cannot be used.
    void open();
    void close();
    bool connected() const { return db_ != nullptr; }

    // The open database; opens it first when closed (and throws if that fails).
    sqlite3 *handle();

private:
    void verify();

    QString connectionString_;
    QString qtConnectionName_;
    sqlite3 *db_ = nullptr;
};
