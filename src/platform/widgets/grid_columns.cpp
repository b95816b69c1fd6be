#include "platform/widgets/grid_columns.h"

GridColumns::GridColumns(GridSource *source, QList<Column> columns, QObject *parent)
    : GridSource(parent), source_(source), columns_(std::move(columns))
{
    connect(source, &GridSource::gridReset, this, &GridColumns::sourceReset);
    connect(source, &GridSource::gridCurrentRowChanged, this, &GridSource::gridCurrentRowChanged);
    connect(source, &GridSource::gridRowsAppended, this, &GridSource::gridRowsAppended);
    connect(source, &GridSource::gridRowsInserted, this, &GridSource::gridRowsInserted);
    sourceReset();
}

void GridColumns::sourceReset()
{
    sourceColumns_.clear();
    if (source_) {
        QList<int> found;
        for (const Column &column : std::as_const(columns_)) {
            int index = source_->gridColumnCount() - 1;
            while (index >= 0 && source_->gridColumnTitle(index).compare(column.name, Qt::CaseInsensitive) != 0)
                --index;
            if (index < 0)
                break;
            found << index;
        }
        if (found.size() == columns_.size())
            sourceColumns_ = found;
    }
    emit gridReset();
}

int GridColumns::gridRowCount() const
{
    return source_ && !sourceColumns_.isEmpty() ? source_->gridRowCount() : 0;
}

int GridColumns::gridColumnCount() const
{
    return int(sourceColumns_.size());
}

QString GridColumns::gridColumnTitle(int column) const
{
    return columns_.at(column).title;
}

GridSource::ColumnKind GridColumns::gridColumnKind(int column) const
{
    return source_->gridColumnKind(sourceColumns_.at(column));
}

int GridColumns::gridDisplayWidth(int column) const
{
    const int declared = columns_.at(column).displayWidth;
    const int stored = source_->gridDisplayWidth(sourceColumns_.at(column));
    return stored > 0 && stored < declared ? stored : declared;
}

QVariant GridColumns::gridValue(int row, int column)
{
    return source_->gridValue(row, sourceColumns_.at(column));
}

int GridColumns::gridCurrentRow() const
{
    return source_ ? source_->gridCurrentRow() : -1;
}

void GridColumns::gridSetCurrentRow(int row)
{
    if (source_)
        source_->gridSetCurrentRow(row);
}

void GridColumns::gridFetchLast()
{
    if (source_)
        source_->gridFetchLast();
}

bool GridColumns::gridSuspended() const
{
    return source_ && source_->gridSuspended();
}
