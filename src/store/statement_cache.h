#pragma once

#include <QString>
#include <memory>
#include <unordered_map>

#include "store/statement.h"

struct sqlite3;

// The statements a file's connection runs again and again (a save's number
// check and insert, the trail's last row and its insert), kept prepared:
// preparing one costs about as much as running it. A statement is reset and
// its values cleared as soon as it has been used, so a kept statement never
// holds a reading open.
class StatementCache {
public:
    // One use of a statement; gives it back, reset, when it goes.
    class Lease {
    public:
        Lease(Statement *kept, bool *inUse) : statement_(kept), inUse_(inUse) {}
        explicit Lease(std::unique_ptr<Statement> own) : own_(std::move(own)), statement_(own_.get()) {}
        ~Lease();
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Statement &operator*() const { return *statement_; }
        Statement *operator->() const { return statement_; }

    private:
        std::unique_ptr<Statement> own_;
        Statement *statement_;
        bool *inUse_ = nullptr;
    };

    // `text` prepared on `db`: the kept one when it is free, else a new one
    // (kept for next time while there is room).
    Lease take(sqlite3 *db, const QString &text);
    // Finalizes every kept statement: before the connection closes.
    void clear() { entries_.clear(); }

private:
    // Enough for every statement the windows repeat; a flood of one-off
    // texts is prepared and dropped.
    static constexpr std::size_t capacity = 64;
    struct Entry {
        std::unique_ptr<Statement> statement;
        bool inUse = false;
    };
    std::unordered_map<QString, Entry> entries_;
};
