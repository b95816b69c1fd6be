#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include "platform/core/grid_source.h"

// The columns a grid shows of a data set, fixed by the window rather than by
// the data set: which columns, in which order, under which titles, how wide.
// Columns are found by name each time the data set is reset, so the
// definitions may be made before the data set is first opened.
class GridColumns : public GridSource {
    Q_OBJECT
public:
    struct Column {
        QString name;          // the data set's column
        QString title;         // shown above it
        int displayWidth = 0;  // characters; a narrower stored width wins
    };

    GridColumns(GridSource *source, QList<Column> columns, QObject *parent = nullptr);

    int gridRowCount() const override;
    // 0 while the data set lacks any of the columns (for instance, before it is opened).
    int gridColumnCount() const override;
    QString gridColumnTitle(int column) const override;
    ColumnKind gridColumnKind(int column) const override;
    int gridDisplayWidth(int column) const override;
    QVariant gridValue(int row, int column) override;
    int gridCurrentRow() const override;
    void gridSetCurrentRow(int row) override;
    bool gridSuspended() const override;
    void gridFetchLast() override;

private:
    void sourceReset();

    QPointer<GridSource> source_;
    QList<Column> columns_;
    QList<int> sourceColumns_;  // column -> source column; empty when not all are present
};
