#pragma once

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
// it. It gives way to the program's own writes: a write stops it (it holds a
// read lock while it runs) and it starts over once the write is done.
class IntegrityCheck : public QObject {
    Q_OBJECT
public:
    // `onDamage` runs on the thread that created the check, with the message
    // for the operator. The check starts after `delay`, so that it does not
    // compete with the program's own start-up.
    IntegrityCheck(const QString &path, std::function<void(const QString &message)> onDamage,
                   std::chrono::milliseconds delay);
    ~IntegrityCheck() override;

    // Stops a check in progress and keeps the next from starting until resume().
    void pause();
    void resume();
    // Blocks until the check has finished (for tests and tools).
    void wait();

private:
    void run();
    // "ok", the damage found, or empty when the check was stopped before its end.
    QString checkOnce();

    QString path_;
    std::chrono::milliseconds delay_;
    std::function<void(const QString &)> onDamage_;
    std::mutex mutex_;
    std::condition_variable changed_;
    sqlite3 *db_ = nullptr;
    int paused_ = 0;
    bool running_ = false;
    bool stop_ = false;
    bool finished_ = false;
    std::thread thread_;
};
