#pragma once

#include <QList>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/core/grid_source.h"
#include "platform/core/record_cursor.h"
#include "store/field.h"
#include "store/field_def.h"
#include "store/row_source.h"
#include "store/row_write.h"
#include "store/snapshot_cache.h"
#include <memory>

class Connection;

// Rows of a statement or a table, with a current row.
//
// Opening takes one reading of the result: inside one read transaction of the
// connection it learns which rows the result holds (SnapshotCache, fed by the
// engine's RowSource: SqliteRowSource or ServerRowSource).
// A large result of a condition learns its first rows at opening and the
// rest a step at a time afterwards, from the event loop or at once when the
// exact count is asked for; the grid grows meanwhile, and rows never shift.
// A grid going to the last row has the last rows learnt at once, and the
// rest go in before them as they come (the grid keeps its rows on screen).
// No lock or transaction is held between calls. Rows another data set of the program changes or deletes are kept as
// they were before the change, so the result stays the one read at opening,
// with this data set's own appends, edits and deletes on top.
class DataSet : public GridSource, public RecordCursor {
    Q_OBJECT
public:
    DataSet(Connection *connection, const QString &name, QObject *parent = nullptr);
    ~DataSet() override;

    const QString &name() const { return name_; }
    Connection *connection() const { return connection_; }

    // Opens the connection first when it is closed. Opening an open data set reads nothing.
    void Open();
    void Close();
    bool active() const { return active_; }

    void First();
    void Next();
    // True after Next moved past the last row, and for an empty data set.
    bool eof() const { return eof_; }
    // The exact count: learns the rest of the result first when needed.
    int recordCount() const;
    // Index of the current row, -1 when there is none. After a grid went to
    // the last row while the result was still counted, it grows as the rows
    // before the last ones go in.
    int currentRow() const { return current_; }
    void setCurrentRow(int row);

    const QList<FieldDef> &fields() const { return fields_; }
    // Fails with "<name>: Field '<field>' not found" for an unknown column.
    Field fieldByName(const QString &field);

    // A new current row at the end; set its columns, then Post writes it.
    void Append();
    // Starts changing the current row; Post writes the change.
    void Edit();
    void Post();
    // Drops an append or edit that was not posted.
    void Cancel();
    // Deletes the current row at once; the following row becomes current, or
    // the new last row when the last was deleted.
    void Delete();
    // Reads the held rows' values again; the current row stays.
    void Refresh();

    // Runs inside the transaction of each row that Post or Delete writes,
    // before the row's own statement: what it writes is stored together with
    // the row, or neither is. A trace of the change is written this way.
    using Companion = std::function<void(Connection &, const RowWrite &)>;
    void setCompanion(Companion companion) { companion_ = std::move(companion); }

    // Bound grids neither read nor repaint between these (they nest).
    void DisableControls();
    void EnableControls();

    // Grid source
    int gridRowCount() const override;
    int gridColumnCount() const override;
    QString gridColumnTitle(int column) const override;
    ColumnKind gridColumnKind(int column) const override;
    int gridDisplayWidth(int column) const override;
    QVariant gridValue(int row, int column) override;
    int gridCurrentRow() const override { return current_; }
    void gridSetCurrentRow(int row) override;
    bool gridSuspended() const override { return suspended_ > 0; }
    void gridFetchLast() override;

    // Record cursor, for a report that repeats its detail band per row.
    bool cursorActive() const override { return active_; }
    void cursorFirst() override { First(); }
    void cursorNext() override { Next(); }
    bool cursorEof() const override { return eof_; }
    int cursorRecordCount() const override { return recordCount(); }

protected:
    // The statement that yields the rows.
    virtual QString selectText() const = 0;
    // The statement's named parameters, in stored form; may read the connection.
    virtual RowSource::Parameters parameters() const { return {}; }
    // The table written by Append/Edit/Delete; empty for a read-only result.
    virtual QString tableName() const { return {}; }
    // A width the window declares for a column, or 0.
    virtual int declaredWidth(const QString &) const { return 0; }

private:
    friend class Field;
    friend class Connection;
    using Row = SnapshotCache::Row;
    enum class State { Browse, Insert, Edit };

    QVariant fieldValue(int index);
    void setFieldValue(int index, const QVariant &value);
    QVariant storedValue(const FieldDef &field, const QVariant &value) const;

    void reset();
    void readRowids();
    void readWhole();
    // Learns at most `limit` more rows of the result and tells the grid.
    void learnMore(int limit);
    void countInBackground();
    void finishCounting();
    // Learns rows until row `row` is known or the result is. A row at or past
    // the last rows, when those were learnt first, is where it ends up only
    // once every row before them is known: they all are learnt then (the
    // current row moves down with them).
    void learnThrough(int row);
    int rowsKnown() const;
    int sourceCount() const;
    void describe(const std::vector<RowSource::Column> &columns, const QVariantList &firstRow);
    int sourceAt(int row) const;
    const Row &rowAt(int row);
    const Row &sourceRow(int source);
    Row reread(const Row &row);
    // Called by the connection before another data set changes or deletes `rowid` of `table`.
    void keepRowBeforeChange(const QString &table, qint64 rowid);
    void requireActive() const;
    void makeOrderExplicit();
    void requireWritable() const;
    void changed();
    RowWrite rowWrite(RowWrite::Kind kind, qint64 rowid, const QVariantList &before, const QVariantList &after) const;
    // Runs `apply` (the statement of `change`; it gives the row's key), with the
    // companion in one transaction.
    qint64 write(const RowWrite &change, const std::function<qint64()> &apply);

    Connection *connection_;
    QString name_;
    Companion companion_;
    bool active_ = false;
    bool eof_ = true;
    int current_ = -1;
    int suspended_ = 0;
    State state_ = State::Browse;
    Row pending_;

    QList<FieldDef> fields_;
    std::unique_ptr<RowSource> rowSource_;  // the engine's, chosen at opening
    SnapshotCache snapshot_;
    bool keyed_ = false;      // rows are found by rowid in the snapshot
    std::vector<Row> whole_;  // a result without rowids, read whole
    QTimer countTimer_;
    std::unordered_map<int, Row> changed_;  // appended, edited and refreshed rows, by source
    std::vector<int> order_;                // row -> source once rows were added or deleted
    bool ordered_ = false;
    int appended_ = 0;
};
