#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement. Values are always bound, never pasted into
// the statement text. Failures throw with the database's own explanation.
class Statement {
public:
    Statement(sqlite3 *db, const QString &text);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Binds `value` to the named parameter (":name"); unknown names are ignored.
    void bind(const QString &name, const QVariant &value);
    // Binds `value` to the parameter at `position` (1-based).
    void bind(int position, const QVariant &value);

    // Binds `values` to the parameters in order.
    void bindAll(const QVariantList &values);

    // Steps to the next row; false at the end.
    bool step();
    // Back before the first row, bindings kept.
    void reset();
    // Every parameter back to null.
    void clearBindings();

    sqlite3 *database() const { return db_; }
    int columnCount() const;
    QString columnName(int column) const;
    // The declared type of the column the result comes from; empty for expressions.
    QString declaredType(int column) const;
    // Integer, double, text or null, as stored.
    QVariant value(int column) const;

    // Runs a statement that returns no rows.
    static void execute(sqlite3 *db, const QString &text, const QVariantList &values = {});
    // The first column of the first row of a one-value statement.
    static QVariant scalar(sqlite3 *db, const QString &text, const QVariantList &values = {});

    // A failure carrying the connection's last error: one sentence for the
    // operator, the engine's short text after it.
    [[noreturn]] static void fail(sqlite3 *db);
    static QString message(int code, const QString &engineText);

private:
    sqlite3 *db_;
    sqlite3_stmt *statement_ = nullptr;
};
