#pragma once

#include <QString>
#include <QVariant>

#include "platform/core/failure.h"

struct pg_conn;
struct pg_result;

// A write refused because the record number it stores is stored already.
class NumberTaken : public Failure {
public:
    using Failure::Failure;
};

// One session with the department's PostgreSQL server. Statements are
// written with "?" marks as for SQLite; every value is bound, never pasted in.
// Failures throw with one sentence for the operator (unreachable, refused,
// busy, connection lost) and the server's own short text after it.
class ServerSession {
public:
    // One statement's rows, read whole.
    class Result {
    public:
        explicit Result(pg_result *result) : result_(result) {}
        ~Result();
        Result(Result &&other) noexcept : result_(other.result_) { other.result_ = nullptr; }
        Result(const Result &) = delete;
        Result &operator=(const Result &) = delete;
        Result &operator=(Result &&) = delete;

        int rowCount() const;
        int columnCount() const;
        QString columnName(int column) const;
        // The column's type in the words the store reads kinds and widths from
        // ("INTEGER", "VARCHAR(50)", "TEXT", "DATETIME"); empty for an
        // expression, as SQLite gives none for one.
        QString declaredType(int column) const;
        // Integer, double or text as the column's type says; null as an invalid variant.
        QVariant value(int row, int column) const;

    private:
        pg_result *result_;
    };

    // Connects with a libpq connection string; passwords come from libpq's own
    // files (~/.pgpass, pg_service.conf), never from ours.
    explicit ServerSession(const QString &conninfo);
    ~ServerSession();
    ServerSession(const ServerSession &) = delete;
    ServerSession &operator=(const ServerSession &) = delete;

    Result exec(const QString &text, const QVariantList &values = {});
    QVariant scalar(const QString &text, const QVariantList &values = {});
    // False once the server has gone away; the session is then of no more use.
    bool alive() const;
    // The error state of the last failed statement ("23505" for a taken unique value).
    const QString &lastState() const { return lastState_; }

    // What the operator reads for a server failure.
    static QString message(const QString &state, const QString &serverText);

private:
    [[noreturn]] void fail(pg_result *result);

    pg_conn *conn_ = nullptr;
    QString lastState_;
};
