#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

// Direct access to a database file for checking what the tools wrote, through
// the sqlite3 library itself rather than the code under test. Never creates a
// file. Failures throw std::runtime_error, which the test reports.
class SqliteFile {
public:
    explicit SqliteFile(const QString &path);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // Every row of the result, each column as text (null as an empty text).
    QList<QStringList> rows(const QString &sql) const;
    // The first column of the first row as a number.
    qint64 number(const QString &sql) const;
    void execute(const QString &sql);

private:
    sqlite3 *db_ = nullptr;
};
