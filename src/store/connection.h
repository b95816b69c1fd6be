#pragma once

#include <QString>
#include <QVariant>

#include "store/server_session.h"
#include "store/statement_cache.h"
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
class DataSet;
class IntegrityCheck;

// The program's one database connection, on one of two engines: an SQLite
// file (one room) or the department's PostgreSQL server (several rooms).
// It opens an existing workstation database and never creates one: a
// missing, foreign, newer, busy, damaged or read-only file, or one in a folder
// that cannot be written, is reported and left exactly as it was; so is an
// unreachable server or one that refuses the login. A file of an older schema
// version is upgraded.
//
// scalar(), rows(), write(), insert(), read() and transaction() work on either engine
// ("?" marks); handle() is the SQLite file's own, session() the server's.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // "provider=...;Data Source=<dir>/ruvured.mdb; Persist Security Info=false"
    static QString connectionStringFor(const QString &programDirectory);
    // The same for a database file anywhere (a site's ruvured.ini may name one).
    static QString connectionStringForFile(const QString &databaseFile);

    // Chooses the file engine; see setServer for the other.
    void setConnectionString(const QString &text);
    // A libpq connection string ("service=ruvured", "host=... dbname=..."):
    // the records are on that server.
    void setServer(const QString &conninfo);
    const QString &server() const { return server_; }
    bool onServer() const { return !server_.isEmpty(); }
    const QString &connectionString() const { return connectionString_; }
    // The file named by "Data Source" in the connection string.
    QString databasePath() const;

    // How long a statement waits for another program's lock before it fails.
    void setBusyTimeout(int milliseconds) { busyTimeout_ = milliseconds; }
    // Runs, on the opening thread, when the check of the whole file that
    // follows an opening finds damage. Without it no such check runs.
    void onDamage(std::function<void(const QString &message)> handler) { onDamage_ = std::move(handler); }
    // How long the operator must leave the program alone before that check
    // starts, counted from the opening and from each operatorActive().
    void setCheckDelay(int milliseconds) { checkDelay_ = milliseconds; }
    // The operator pressed a key or a mouse button: the check steps aside.
    void operatorActive();
    // Runs while a file of an older version is upgraded, with what is being
    // done and how far, and once more with an empty stage when it is over.
    void onUpgrade(std::function<void(const QString &stage, int percent)> handler) { onUpgrade_ = std::move(handler); }
    // The check started by the last opening, if any (tests wait on it).
    IntegrityCheck *integrityCheck() const { return check_.get(); }

    // Throws Failure with the reason the file cannot be used. Opening checks
    // only what costs the same for any size of file: header, marks, schema.
    void open();
    // Closes the file; open data sets stay open and read through the next opening.
    void close();
    bool connected() const;

    // The open database file; opens it first when closed (and throws if that
    // fails, or when the records are on a server).
    sqlite3 *handle();
    // The open server session; opens it first when closed.
    ServerSession &session();

    // Runs a statement that changes the records.
    void write(const QString &text, const QVariantList &values);
    // Inserts one row of `table` with `values` for `columns`; returns its key
    // (the file's rowid, the server's `_rowid_`).
    qint64 insert(const QString &table, const QStringList &columns, const QVariantList &values);
    // The rows of a statement on the server, read whole.
    ServerSession::Result serverRows(const QString &text, const QVariantList &values);
    // The declared type of a table's column ("VARCHAR(50)", "timestamp(0) ...");
    // empty when the table has no such column.
    QString columnType(const QString &table, const QString &column);
    // Runs `work` in one read transaction, so that everything it reads comes
    // from one state of the records (REPEATABLE READ on the server). Inside a
    // transaction already, `work` just runs in it. Nothing stays open after.
    void read(const std::function<void()> &work);
    // The first column of the first row of a one-value statement.
    QVariant scalar(const QString &text, const QVariantList &values = {});
    // Hands each row of a statement to `each`, its columns in order. On a
    // file the statement is still reading meanwhile: `each` only takes note.
    void rows(const QString &text, const QVariantList &values, const std::function<void(const QVariantList &row)> &each);
    // Runs `work` in one write transaction: all of it is stored or none; inside
    // another transaction it simply joins it. On a
    // file the write lock is taken at the start, so what `work` reads cannot
    // change under it before the commit. When the server goes away during the
    // transaction, the connection reconnects and learns whether it committed:
    // returns true when it had (the answer was lost, not the data), and throws
    // saying so when it had not.
    bool transaction(const std::function<void()> &work);

    // Data sets make themselves known while open, so that the rows they hold
    // are kept before another of them changes or deletes them.
    void attach(DataSet *dataSet);
    void detach(DataSet *dataSet);
    void keepRowBeforeChange(const QString &table, qint64 rowid, const DataSet *changing);

private:
    void openFile();
    void verify();
    void verifyServer();
    // Forgets a server session that lost its server, so the next action reconnects.
    void dropIfLost();
    bool serverTransaction(const std::function<void()> &work);
    void finishCounting();
    void upgrade(int version);

    QString connectionString_;
    QString server_;
    sqlite3 *db_ = nullptr;
    std::unique_ptr<ServerSession> session_;
    bool inServerTransaction_ = false;
    int busyTimeout_ = 5000;
    int checkDelay_ = 30000;
    std::function<void(const QString &)> onDamage_;
    std::function<void(const QString &, int)> onUpgrade_;
    std::unique_ptr<IntegrityCheck> check_;
    std::vector<DataSet *> dataSets_;
    StatementCache statements_;
};
