#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/grid_source.h"
#include "platform/record_cursor.h"
#include "store/field.h"
#include "store/field_def.h"

class Connection;
class Statement;

// Rows of a statement or a table, with a current row.
//
// Opening learns the exact record count and reads the first rows; further
// rows are read as they are reached, so a million-row result opens as fast as
// a ten-row one. What the callers see is a result held in memory: an exact
// count, a current row, and the data set's own appends, edits and deletes.
class DataSet : public GridSource, public RecordCursor {
    Q_OBJECT
public:
    DataSet(Connection *connection, const QString &name, QObject *parent = nullptr);
    ~DataSet() override;

    const QString &name() const { return name_; }

    // Opens the connection first when it is closed. Opening an open data set reads nothing.
    void Open();
    void Close();
    bool active() const { return active_; }

    void First();
    void Next();
    // True after Next moved past the last row, and for an empty data set.
    bool eof() const { return eof_; }
    int recordCount() const;
    // Index of the current row, -1 when there is none.
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

    // Record cursor, for a report that repeats its detail band per row.
    bool cursorActive() const override { return active_; }
    void cursorFirst() override { First(); }
    void cursorNext() override { Next(); }
    bool cursorEof() const override { return eof_; }
    int cursorRecordCount() const override { return recordCount(); }

protected:
    // The statement that yields the rows; a table data set adds the rowid as column 0.
    virtual QString selectText() const = 0;
    virtual void bindParameters(Statement &statement) const;
    // The table written by Append/Edit/Delete; empty for a read-only result.
    virtual QString tableName() const { return {}; }
    // A width the window declares for a column, or 0.
    virtual int declaredWidth(const QString &) const { return 0; }

private:
    friend class Field;
    struct Row {
        qint64 rowid = 0;
        QVariantList values;
    };
    enum class State { Browse, Insert, Edit };
    static constexpr int chunkSize = 256;

    QVariant fieldValue(int index);
    void setFieldValue(int index, const QVariant &value);
    QVariant storedValue(const FieldDef &field, const QVariant &value) const;

    bool hasRowid() const { return !tableName().isEmpty(); }
    void describe();
    int sourceAt(int row) const;
    const Row &rowAt(int row);
    const Row &sourceRow(int source);
    void readChunk(int chunk);
    Row readRow(const Statement &statement) const;
    Row reread(const Row &row);
    bool advance();
    void requireActive() const;
    void makeOrderExplicit();
    void requireWritable() const;
    void changed();

    Connection *connection_;
    QString name_;
    bool active_ = false;
    bool eof_ = true;
    int current_ = -1;
    int suspended_ = 0;
    State state_ = State::Browse;
    Row pending_;

    QList<FieldDef> fields_;
    std::unique_ptr<Statement> cursor_;
    int cursorPosition_ = 0;          // rows of the result stepped over since the last reset
    bool cursorDone_ = false;
    int sourceCount_ = 0;             // rows of the result at opening
    std::unordered_map<int, std::vector<Row>> chunks_;  // rows read, by chunk of the result
    std::unordered_map<int, Row> changed_;              // appended, edited and refreshed rows, by source
    std::vector<int> deletedSources_;  // sorted: result rows this data set deleted
    std::vector<int> order_;           // row -> source once rows were added or deleted
    bool ordered_ = false;
    int appended_ = 0;
};
