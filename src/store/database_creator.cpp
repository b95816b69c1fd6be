#include "store/database_creator.h"

#include "platform/core/failure.h"
#include "store/file_modes.h"
#include "store/schema.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void exec(sqlite3 *db, const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : "unknown error");
        sqlite3_free(error);
        throw Failure(QStringLiteral("无法创建数据库：%1").arg(text));
    }
}

QString systemError(int code)
{
    return QStringLiteral("无法创建数据库：%1").arg(QString::fromLocal8Bit(std::strerror(code)));
}

} // namespace

void DatabaseCreator::create(const QString &path)
{
    if (QFileInfo::exists(path))
        throw Failure(QStringLiteral("数据库文件已存在，不会覆盖：%1").arg(path));

    // Build the file under a temporary name and link it into place: the link
    // fails if someone created the target meanwhile, and a half-written
    // database never appears under the real name. The temporary name is unique
    // so that no other file, and no second creator's work, is ever removed.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw Failure(systemError(errno));
    // Owner and group only, whatever the umask: patient records are never
    // readable by every account on the machine.
    ::fchmod(fd, FileModes::database);
    ::close(fd);

    // SQLite takes the empty file for a new database.
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(temp.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        ::unlink(temp.constData());
        throw Failure(QStringLiteral("无法创建数据库：%1").arg(text));
    }
    try {
        exec(db, "BEGIN");
        exec(db, QStringLiteral("PRAGMA application_id = %1").arg(Schema::applicationId));
        exec(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::userVersion));
        for (const QString &statement : Schema::createStatements())
            exec(db, statement);
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_close(db);
        ::unlink(temp.constData());
        throw;
    }
    sqlite3_close(db);

    const int linked = ::link(temp.constData(), target.constData());
    const int linkError = errno;
    ::unlink(temp.constData());
    if (linked != 0) {
        throw Failure(linkError == EEXIST ? QStringLiteral("数据库文件已存在，不会覆盖：%1").arg(path)
                                          : systemError(linkError));
    }
}
