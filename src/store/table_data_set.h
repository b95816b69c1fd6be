#pragma once

#include <QMap>

#include "store/data_set.h"

// A whole table opened by name, in the order the database returns it. Rows
// are identified by their rowid, so they can be edited and deleted.
class TableDataSet : public DataSet {
    Q_OBJECT
public:
    TableDataSet(Connection *connection, const QString &name, const QString &table, QObject *parent = nullptr);

    // The width the window declares for a text column: text written is cut to
    // it (or to the column's own width when that is smaller), and the grid
    // shows the column that wide.
    void declareWidth(const QString &column, int characters);

protected:
    QString selectText() const override;
    QString tableName() const override { return table_; }
    int declaredWidth(const QString &column) const override;

private:
    QString table_;
    QMap<QString, int> widths_;
};
