#include "store/integrity_check.h"

#include "store/store_log.h"

#include <QFile>
#include <sqlite3.h>

using namespace std::chrono_literals;

IntegrityCheck::IntegrityCheck(const QString &path, std::function<void(const QString &)> onDamage,
                               std::chrono::milliseconds quiet, const QDate &today)
    : path_(path), quiet_(quiet), today_(today.toString(Qt::ISODate)), onDamage_(std::move(onDamage)),
      thread_([this] { run(); })
{
}

IntegrityCheck::~IntegrityCheck()
{
    {
        std::unique_lock lock(mutex_);
        stop_ = true;
        if (db_)
            sqlite3_interrupt(db_);
    }
    changed_.notify_all();
    thread_.join();
}

void IntegrityCheck::pause()
{
    std::unique_lock lock(mutex_);
    ++paused_;
    // The write must not meet the check's read lock: wait until it has let go.
    while (running_) {
        sqlite3_interrupt(db_);
        changed_.wait_for(lock, 5ms);
    }
}

void IntegrityCheck::resume()
{
    {
        std::unique_lock lock(mutex_);
        if (paused_ > 0)
            --paused_;
    }
    changed_.notify_all();
}

void IntegrityCheck::operatorActive()
{
    std::unique_lock lock(mutex_);
    lastActivity_ = std::chrono::steady_clock::now();
    if (running_)
        sqlite3_interrupt(db_);
}

void IntegrityCheck::wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_; });
}

QString IntegrityCheck::checkOnce()
{
    sqlite3_stmt *statement = nullptr;
    QStringList lines;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    }
    const QString error = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_finalize(statement);
    if (rc == SQLITE_DONE)
        return lines.join('\n');
    // Stopped for a write, or held off by another program's lock: no verdict yet.
    if (rc == SQLITE_INTERRUPT || (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return {};
    return error;
}

bool IntegrityCheck::dueToday()
{
    sqlite3_stmt *statement = nullptr;
    bool due = true;
    if (sqlite3_prepare_v2(db_, "select checked_on from file_checks where kind = ?", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(statement, 1, kind, -1, SQLITE_STATIC);
        if (sqlite3_step(statement) == SQLITE_ROW)
            due = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))) != today_;
    }
    sqlite3_finalize(statement);
    return due;
}

void IntegrityCheck::recordSound()
{
    // Not recorded (the file busy for too long): the next start checks again.
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, "insert or replace into file_checks (kind, checked_on) values (?, ?)", -1, &statement,
                           nullptr) == SQLITE_OK) {
        const QByteArray day = today_.toUtf8();
        sqlite3_bind_text(statement, 1, kind, -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
}

void IntegrityCheck::run()
{
    sqlite3 *db = nullptr;
    // Read-write only to record the day; never creating the file.
    const bool opened =
        sqlite3_open_v2(QFile::encodeName(path_).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    sqlite3_busy_timeout(db, 1000);
    if (!opened)
        qCWarning(lcStore) << "the full check could not open" << path_ << sqlite3_errmsg(db);
    QString result;
    {
        std::unique_lock lock(mutex_);
        db_ = db;
        const auto quietEnough = [this] {
            return stop_ || (paused_ == 0 && std::chrono::steady_clock::now() - lastActivity_ >= quiet_);
        };
        bool due = false;
        if (opened) {
            lock.unlock();
            due = dueToday();
            lock.lock();
        }
        while (due && !stop_) {
            while (!quietEnough()) {
                if (paused_ > 0)
                    changed_.wait(lock);  // resume() wakes it
                else
                    changed_.wait_for(lock, quiet_ - (std::chrono::steady_clock::now() - lastActivity_));
            }
            if (stop_)
                break;
            running_ = true;
            lock.unlock();
            result = checkOnce();
            lock.lock();
            running_ = false;
            changed_.notify_all();
            if (!result.isEmpty())
                break;
            // Stopped by a write or the operator, or held off by another program: try again later.
            changed_.wait_for(lock, 500ms, [this] { return stop_; });
        }
        if (result == QLatin1String("ok")) {
            lock.unlock();
            recordSound();
            lock.lock();
        }
        db_ = nullptr;
    }
    sqlite3_close(db);
    if (!result.isEmpty() && result != QLatin1String("ok")) {
        const QString message = QStringLiteral("检查发现数据库文件“%1”已损坏，请尽快用备份恢复。（%2）")
                                    .arg(path_, result.section('\n', 0, 0));
        qCCritical(lcStore).noquote() << "the full check of" << path_ << "found damage:" << result;
        // Posted to this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(this, [this, message] { onDamage_(message); }, Qt::QueuedConnection);
    }
    {
        std::unique_lock lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}
