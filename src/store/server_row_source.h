#pragma once

#include "store/row_source.h"
#include "store/server_session.h"

// A data set's rows on the department's server: the shape's rows are found
// again by the table's key column `_rowid_`. The program's statements are written for SQLite (":name"
// parameters, "select *"); they are put into the server's words here.
class ServerRowSource : public RowSource {
public:
    using RowSource::RowSource;

    std::vector<Column> columns() override;
    std::vector<Column> readWhole(const QString &text, std::vector<SnapshotCache::Row> &rows) override;

    int appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit) override;
    RowidList lastKeys(qint64 after, qint64 bound, int limit) override;
    std::vector<SnapshotCache::Row> rowsBetween(qint64 first, qint64 last) override;
    std::vector<SnapshotCache::Row> rowsWithKeys(const std::vector<qint64> &keys) override;

    // `text` with every ":name" outside quotes turned into "?" and its value,
    // from `named`, appended to `values` in the order of the marks; the "?"
    // marks already there take theirs from `positional`, in order. A name
    // without a value is bound as null, as SQLite leaves an unbound one.
    static QString positional(const QString &text, const Parameters &named, const QVariantList &positional,
                              QVariantList &values);

protected:
    bool removalsKept() override;

private:
    ServerSession::Result run(const QString &text, const QVariantList &positional = {},
                              const Parameters &extra = {}) const;
    // The result's keys after `after` up to `bound`, at most `limit`, walking up or down.
    ServerSession::Result walk(SelectShape::Walk direction, qint64 after, qint64 bound, int limit) const;
    static std::vector<Column> columnsOf(const ServerSession::Result &result, int offset);
    static std::vector<SnapshotCache::Row> readAll(const ServerSession::Result &result, bool withKey);
};
