#pragma once

#include "store/row_source.h"

class Statement;

// A data set's rows in an SQLite file: the shape's rows are found again by
// rowid, and a whole table's rowids come from the tracked gaps.
class SqliteRowSource : public RowSource {
public:
    using RowSource::RowSource;

    std::vector<Column> columns() override;
    std::vector<Column> readWhole(const QString &text, std::vector<SnapshotCache::Row> &rows) override;

    int appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit) override;
    std::vector<SnapshotCache::Row> rowsBetween(qint64 first, qint64 last) override;
    std::vector<SnapshotCache::Row> rowsWithKeys(const std::vector<qint64> &keys) override;
    RowidList lastKeys(qint64 after, qint64 bound, int limit) override;

protected:
    bool removalsKept() override;

private:
    void bind(Statement &statement) const;
    // Binds the parameters of SelectShape::rowidsInOrder.
    void bindWalk(Statement &rows, qint64 after, qint64 bound, int limit) const;
    static std::vector<Column> columnsOf(const Statement &statement, int offset);
    static std::vector<SnapshotCache::Row> readAll(Statement &statement);
    static SnapshotCache::Row readRow(const Statement &statement, bool withRowid);
};
