#pragma once

#include <functional>
#include <optional>

#include "store/select_shape.h"
#include "store/snapshot_cache.h"

class Connection;
class Statement;
struct sqlite3;

// The snapshot cache's rows on SQLite: a statement of the shape "select
// <columns> from <table> [where ...]" whose rows are found again by rowid.
class SqliteRowSource : public SnapshotCache::Source {
public:
    // `bind` binds the statement's own parameters.
    SqliteRowSource(Connection *connection, std::function<void(Statement &)> bind);

    void setShape(const SelectShape &shape) { shape_ = shape; }
    const SelectShape &shape() const { return *shape_; }

    // Every rowid of a whole table, when the file tracks its removed rows:
    // the lowest to the highest except the gaps, without reading a row.
    std::optional<RowidList> wholeTable(sqlite3 *db) const;
    // The table's highest rowid now (0 for an empty table).
    qint64 highestRowid(sqlite3 *db) const;

    int appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit) override;
    std::vector<SnapshotCache::Row> rowsBetween(qint64 first, qint64 last) override;
    std::vector<SnapshotCache::Row> rowsWithKeys(const std::vector<qint64> &keys) override;

    // The current row of a statement; with `withRowid` its first column is the rowid.
    static SnapshotCache::Row readRow(const Statement &statement, bool withRowid);

private:
    std::vector<SnapshotCache::Row> readAll(Statement &statement) const;

    Connection *connection_;
    std::function<void(Statement &)> bind_;
    std::optional<SelectShape> shape_;
};
