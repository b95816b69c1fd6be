#include "sqlite_file.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}

} // namespace

SqliteFile::SqliteFile(const QString &path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string message = "cannot open " + path.toStdString() + ": " + sqlite3_errmsg(db_);
        sqlite3_close(db_);
        throw std::runtime_error(message);
    }
}

SqliteFile::~SqliteFile()
{
    sqlite3_close(db_);
}

QList<QStringList> SqliteFile::rows(const QString &sql) const
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        fail(db_, sql);
    QList<QStringList> result;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)));
        result << row;
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE)
        fail(db_, sql);
    return result;
}

qint64 SqliteFile::number(const QString &sql) const
{
    const QList<QStringList> result = rows(sql);
    if (result.isEmpty() || result.first().isEmpty())
        throw std::runtime_error("no value from " + sql.toStdString());
    return result.first().first().toLongLong();
}

void SqliteFile::execute(const QString &sql)
{
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db_, sql);
}
