#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
class DataSet;
class IntegrityCheck;

// The program's one database connection. It opens an existing workstation
// database and never creates one: a missing, foreign, newer, busy, damaged or
// read-only file, or one in a folder that cannot be written, is reported and
// left exactly as it was. A file of an older schema version is upgraded.
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

    void setConnectionString(const QString &text);
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
    bool connected() const { return db_ != nullptr; }

    // The open database; opens it first when closed (and throws if that fails).
    sqlite3 *handle();

    // Runs a statement that changes the file; returns the rowid of an inserted row.
    qint64 write(const QString &text, const QVariantList &values);

    // Data sets make themselves known while open, so that the rows they hold
    // are kept before another of them changes or deletes them.
    void attach(DataSet *dataSet);
    void detach(DataSet *dataSet);
    void keepRowBeforeChange(const QString &table, qint64 rowid, const DataSet *changing);

private:
    void openFile();
    void verify();
    void upgrade(int version);

    QString connectionString_;
    QString qtConnectionName_;
    sqlite3 *db_ = nullptr;
    int busyTimeout_ = 5000;
    int checkDelay_ = 30000;
    std::function<void(const QString &)> onDamage_;
    std::function<void(const QString &, int)> onUpgrade_;
    std::unique_ptr<IntegrityCheck> check_;
    std::vector<DataSet *> dataSets_;
};
