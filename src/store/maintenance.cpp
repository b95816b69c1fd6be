#include "store/maintenance.h"

#include "platform/core/failure.h"
#include "store/file_modes.h"
#include "store/group_access.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// An existing workstation database, opened without ever creating one.
class OpenFile {
public:
    explicit OpenFile(const QString &path)
    {
        if (const QString refusal = GroupAccess::refusal(path); !refusal.isEmpty())
            throw Failure(refusal);
        if (!QFileInfo(path).isFile())
            throw Failure(QStringLiteral("找不到数据库文件“%1”。").arg(path));
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 10000);
        if (rc != SQLITE_OK) {
            const QString message = Statement::message(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
            sqlite3_close(db_);
            throw Failure(message);
        }
        QVariant id;
        try {
            id = Statement::scalar(db_, QStringLiteral("PRAGMA application_id"));
        } catch (...) {
            sqlite3_close(db_);
            throw;
        }
        if (id.toInt() != Schema::applicationId) {
            sqlite3_close(db_);
            throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
        }
    }
    ~OpenFile() { sqlite3_close(db_); }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    sqlite3 *db() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

QString checkOpen(sqlite3 *db, const char *pragma)
{
    Statement statement(db, QString::fromLatin1(pragma));
    QStringList lines;
    while (statement.step())
        lines << statement.value(0).toString();
    return lines.join('\n');
}

} // namespace

QString Maintenance::check(const QString &path)
{
    const OpenFile file(path);
    return checkOpen(file.db(), "PRAGMA integrity_check");
}

void Maintenance::backup(const QString &path, const QString &copy)
{
    if (QFileInfo::exists(copy) || QFileInfo(copy).isSymLink())
        throw Failure(QStringLiteral("“%1”已存在，不会覆盖。").arg(copy));
    const OpenFile file(path);
    // Written under a side name and linked into place once complete and checked,
    // so a half-made copy never stands under the name of a backup.
    const QString partial = copy + QStringLiteral(".partial-%1").arg(::getpid());
    Maintenance::copy(file.db(), partial, FileModes::backup);
    QString verdict;
    {
        sqlite3 *made = nullptr;
        sqlite3_open_v2(QFile::encodeName(partial).constData(), &made, SQLITE_OPEN_READONLY, nullptr);
        try {
            verdict = checkOpen(made, "PRAGMA quick_check");
        } catch (const Failure &failure) {
            verdict = failure.message();
        }
        sqlite3_close(made);
    }
    const QByteArray target = QFile::encodeName(copy);
    const int linked = verdict == QLatin1String("ok") ? ::link(QFile::encodeName(partial).constData(), target.constData()) : -1;
    QFile::remove(partial);
    if (verdict != QLatin1String("ok"))
        throw Failure(QStringLiteral("副本检查未通过，未保存：%1").arg(verdict.section('\n', 0, 0)));
    if (linked != 0)
        throw Failure(QStringLiteral("无法保存副本“%1”。").arg(copy));
}

void Maintenance::copy(sqlite3 *db, const QString &target, mode_t mode)
{
    // SQLite would create the file with the umask's permissions; an empty file
    // made first with our own mode is taken for a new database.
    try {
        FileModes::createEmpty(target, mode);
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("无法写出数据库副本“%1”：%2").arg(target, failure.message()));
    }
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    QString reason;
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", db, "main");
        if (!backup) {
            rc = sqlite3_errcode(copy);
        } else {
            // Pieces of 4 MB; between them the source is free for writers, and
            // a write by another program makes the copy start over.
            do {
                rc = sqlite3_backup_step(backup, 1024);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(50);
                else if (rc == SQLITE_OK)
                    sqlite3_sleep(1);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            const int finish = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = finish;
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE)
            reason = Statement::message(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    } else {
        reason = Statement::message(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    }
    sqlite3_close(copy);
    if (!reason.isEmpty()) {
        QFile::remove(target);
        throw Failure(QStringLiteral("无法写出数据库副本“%1”：%2").arg(target, reason));
    }
}

