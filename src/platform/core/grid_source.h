#pragma once

#include <QObject>
#include <QVariant>

// What a data grid needs of the data set it shows. Rows may be read lazily:
// the grid asks only for the rows it paints.
class GridSource : public QObject {
    Q_OBJECT
public:
    enum class ColumnKind { Text, Integer, Float, Memo, DateTime };

    using QObject::QObject;

    virtual int gridRowCount() const = 0;
    virtual int gridColumnCount() const = 0;
    virtual QString gridColumnTitle(int column) const = 0;
    virtual ColumnKind gridColumnKind(int column) const = 0;
    // Stored display width in characters; 0 when the column has none.
    virtual int gridDisplayWidth(int column) const = 0;
    virtual QVariant gridValue(int row, int column) = 0;
    // -1 when the data set has no current row.
    virtual int gridCurrentRow() const = 0;
    virtual void gridSetCurrentRow(int row) = 0;
    // While suspended, bound grids neither read nor repaint.
    virtual bool gridSuspended() const = 0;
    // The grid is about to show the last row: a source that learns its rows
    // as it goes learns its last ones now (gridRowsAppended); those learnt
    // after them go in before them (gridRowsInserted).
    virtual void gridFetchLast() {}

signals:
    // Rows, columns or values changed as a whole (open, close, append, delete, refresh, resume).
    void gridReset();
    // More rows became known at the end; the rows before them are unchanged.
    void gridRowsAppended();
    // `count` rows became known at `first`, before the last rows, which were
    // learnt first; those move down by as many, the rows before are unchanged.
    void gridRowsInserted(int first, int count);
    void gridCurrentRowChanged(int row);
};
