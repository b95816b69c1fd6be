#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "store/select_shape.h"
#include "store/snapshot_cache.h"

class Connection;

// What a data set reads through, whatever the engine: the snapshot cache's
// calls, plus the calls of an opening (which run inside the
// connection's read transaction). Rows of a statement with a SelectShape are
// found again by key; any other statement is read whole.
class RowSource : public SnapshotCache::Source {
public:
    // A result column as the engine declares it; an empty type for an expression.
    struct Column {
        QString name;
        QString declaredType;
    };
    // The statement's named parameters (":name"), already in stored form.
    using Parameters = QMap<QString, QVariant>;

    RowSource(Connection *connection, Parameters parameters)
        : connection_(connection), parameters_(std::move(parameters))
    {
    }

    void setShape(const SelectShape &shape) { shape_ = shape; }
    const SelectShape &shape() const { return *shape_; }

    // The columns of the shape's statement, without the key.
    virtual std::vector<Column> columns() = 0;
    // Every key of a whole table when the engine can tell them without
    // reading rows (from its lowest and highest key and the removals kept
    // between); nullopt when they must be learnt in ascending order.
    std::optional<RowidList> wholeTable();
    // The table's highest key now (0 for an empty table).
    qint64 highestKey();
    // Runs `text` and appends its rows (key 0) to `rows`; returns its columns.
    virtual std::vector<Column> readWhole(const QString &text, std::vector<SnapshotCache::Row> &rows) = 0;

protected:
    // Whether the removals from the shape's table are kept in removed_rows.
    virtual bool removalsKept() = 0;

    Connection *connection_;
    Parameters parameters_;
    std::optional<SelectShape> shape_;
};
