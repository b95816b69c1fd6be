#include "store/maintenance.h"

#include "platform/core/failure.h"
#include "store/file_modes.h"
#include "store/group_access.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
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

// The files SQLite may keep beside a database, the database itself first.
constexpr const char *sideSuffixes[] = {"", "-journal", "-wal", "-shm"};

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Flushes a file's contents, or a folder's list of names, to the disk.
bool syncPath(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

QString verdictOf(const QString &path)
{
    sqlite3 *made = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &made, SQLITE_OPEN_READONLY, nullptr);
    QString verdict;
    try {
        verdict = checkOpen(made, "PRAGMA quick_check");
    } catch (const Failure &failure) {
        verdict = failure.message();
    }
    sqlite3_close(made);
    return verdict;
}

// Under the write-ahead log one read transaction is one snapshot of the file
// that writers do not wait for: the copy is taken from it and never starts
// over. With a rollback journal such a transaction would keep every writer
// out, so there the copy reads piece by piece and starts over after a write.
class Snapshot {
public:
    // Without a snapshot (not the log, or the file busy) the copy reads piece by piece.
    explicit Snapshot(sqlite3 *db)
    {
        sqlite3_stmt *mode = nullptr;
        bool wal = false;
        if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK && sqlite3_step(mode) == SQLITE_ROW)
            wal = qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(mode, 0)), "wal") == 0;
        sqlite3_finalize(mode);
        if (!wal || !sqlite3_get_autocommit(db))
            return;
        if (sqlite3_exec(db, "BEGIN; select count(*) from sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK)
            db_ = db;
        else if (!sqlite3_get_autocommit(db))  // begun, but the first read failed
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    ~Snapshot()
    {
        if (db_)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

private:
    sqlite3 *db_ = nullptr;
};

// Writes the pages of `db` into the new file `path`. A stopped or failed
// copy is worthless, so the copy keeps no journal of its own.
void writeCopy(sqlite3 *db, const QString &path, const QString &name, mode_t mode, const Maintenance::Progress &progress)
{
    // SQLite would create the file with the umask's permissions; an empty file
    // made first with our own mode is taken for a new database.
    try {
        FileModes::createEmpty(path, mode);
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("无法写出数据库副本“%1”：%2").arg(name, failure.message()));
    }
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    bool stopped = false;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        const Snapshot snapshot(db);
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", db, "main");
        if (!backup) {
            rc = sqlite3_errcode(copy);
        } else {
            // Pieces of 4 MB, so that progress is shown and a stop is heard.
            do {
                rc = sqlite3_backup_step(backup, 1024);
                const int total = sqlite3_backup_pagecount(backup);
                const int done = total - sqlite3_backup_remaining(backup);
                if (progress && !progress(total > 0 ? int(qint64(done) * 100 / total) : 100))
                    stopped = true;
                else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(50);
            } while (!stopped && (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED));
            const int finish = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = finish;
        }
    }
    // The copy stands alone, one file with a rollback journal, whatever the
    // journal of the file it came from: the program switches it back when opening it.
    if (rc == SQLITE_OK && !stopped)
        rc = sqlite3_exec(copy, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    const QString reason = Statement::message(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_close(copy);
    if (stopped)
        throw Failure(QStringLiteral("数据库副本“%1”未写完就被中止，已删除。").arg(name));
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw Failure(QStringLiteral("无法写出数据库副本“%1”：%2").arg(name, reason));
}

} // namespace

QString Maintenance::check(const QString &path)
{
    const OpenFile file(path);
    return checkOpen(file.db(), "PRAGMA integrity_check");
}

void Maintenance::backup(const QString &path, const QString &copy, const Progress &progress)
{
    if (QFileInfo::exists(copy) || QFileInfo(copy).isSymLink())
        throw Failure(QStringLiteral("“%1”已存在，不会覆盖。").arg(copy));
    const OpenFile file(path);
    Maintenance::copy(file.db(), copy, FileModes::backup, progress, true);
}

void Maintenance::copy(sqlite3 *db, const QString &target, mode_t mode, const Progress &progress, bool checked)
{
    const QFileInfo targetInfo(target);
    removeLeftovers(targetInfo.absolutePath());
    const QString partial = target + QStringLiteral(".partial-%1").arg(::getpid());
    const auto removePartial = [&] {
        for (const char *suffix : sideSuffixes)
            QFile::remove(partial + QLatin1String(suffix));
    };
    try {
        writeCopy(db, partial, target, mode, progress);
        if (checked) {
            const QString verdict = verdictOf(partial);
            if (verdict != QLatin1String("ok"))
                throw Failure(QStringLiteral("副本检查未通过，未保存：%1").arg(verdict.section('\n', 0, 0)));
        }
        if (!syncPath(partial))
            throw Failure(QStringLiteral("无法写出数据库副本“%1”：%2").arg(target, systemError(errno)));
        // A link never replaces an existing file: a copy of the same name that
        // appeared meanwhile is kept, and this one is given up.
        if (::link(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
            const int error = errno;
            throw Failure(error == EEXIST ? QStringLiteral("“%1”已存在，不会覆盖。").arg(target)
                                          : QStringLiteral("无法保存副本“%1”：%2").arg(target, systemError(error)));
        }
    } catch (...) {
        removePartial();
        throw;
    }
    removePartial();
    // The new name must survive a power cut as well as the copy's contents.
    syncPath(targetInfo.absolutePath());
}

void Maintenance::removeLeftovers(const QString &folder)
{
    static const QRegularExpression side(QStringLiteral("\\.partial-(\\d+)(?:-journal|-wal|-shm)?$"));
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = side.match(name);
        if (!match.hasMatch())
            continue;
        // A copy still being written by another running program is that
        // program's; one of this process is a leftover of an earlier life of its number.
        const pid_t owner = pid_t(match.captured(1).toLongLong());
        if (owner != ::getpid() && (::kill(owner, 0) == 0 || errno != ESRCH))
            continue;
        QFile::remove(QDir(folder).filePath(name));
    }
}
