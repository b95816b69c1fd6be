#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct sqlite3;

// SQLite's fast check of the whole file (the quick_check pragma), on a
// connection and thread of its own, so that opening the file never waits for
// it. It reads the whole file, so it runs at most once a day: the file
// remembers the day it was last found sound (`file_checks`), and a file
// checked today is not read again. It runs only while the operator leaves
// the program alone, and gives way to the program's own writes and to the
// operator: either stops it, and it starts over once things are quiet again.
class IntegrityCheck : public QObject {
    Q_OBJECT
public:
    // `onDamage` runs on the thread that created the check, with the message
    // for the operator. The check starts once the operator has been inactive
    // for `quiet` (counted from now), unless the file was found sound on `today`.
    IntegrityCheck(const QString &path, std::function<void(const QString &message)> onDamage,
                   std::chrono::milliseconds quiet, const QDate &today);
    ~IntegrityCheck() override;

    // Stops a check in progress and keeps the next from starting until resume().
    void pause();
    void resume();
    // The operator is working: a check in progress stops, and waits for quiet again.
    void operatorActive();
    // Blocks until the check has finished or was found not due (for tests and tools).
    void wait();

    // The kind recorded in `file_checks`.
    static constexpr const char *kind = "quick_check";

private:
    void run();
    bool dueToday();
    void recordSound();
    // "ok", the damage found, or empty when the check was stopped before its end.
    QString checkOnce();

    QString path_;
    std::chrono::milliseconds quiet_;
    QString today_;
    std::function<void(const QString &)> onDamage_;
    std::mutex mutex_;
    std::condition_variable changed_;
    sqlite3 *db_ = nullptr;
    std::chrono::steady_clock::time_point lastActivity_ = std::chrono::steady_clock::now();
    int paused_ = 0;
    bool running_ = false;
    bool stop_ = false;
    bool finished_ = false;
    std::thread thread_;
};
