#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "platform/core/grid_source.h"

// Presents a grid source to a table view: memo cells as "(MEMO)"/"(Memo)",
// dates in the short date format, the current row marked in the row
// indicator, everything read-only.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setSource(GridSource *source);
    GridSource *source() const { return source_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text a cell shows.
    static QString displayText(GridSource::ColumnKind kind, const QVariant &value);

private:
    void sourceReset();
    void sourceRowsAppended();
    void sourceRowsInserted(int first, int count);

    QPointer<GridSource> source_;
    int rows_ = 0;
    int columns_ = 0;
    // Set while reads keep failing, so a failing source is logged once, not
    // once per cell at every repaint.
    mutable bool readFailing_ = false;
};
