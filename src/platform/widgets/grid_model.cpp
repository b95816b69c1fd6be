#include "platform/widgets/grid_model.h"

#include "platform/core/convert.h"
#include "platform/widgets/ui_log.h"

void GridModel::setSource(GridSource *source)
{
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_)
    {
        connect(source_, &GridSource::gridReset, this, &GridModel::sourceReset);
        connect(source_, &GridSource::gridRowsAppended, this, &GridModel::sourceRowsAppended);
        connect(source_, &GridSource::gridRowsInserted, this, &GridModel::sourceRowsInserted);
    }
    sourceReset();
}

void GridModel::sourceReset()
{
    if (source_ && source_->gridSuspended())
        return;
    beginResetModel();
    rows_ = source_ ? source_->gridRowCount() : 0;
    columns_ = source_ ? source_->gridColumnCount() : 0;
    endResetModel();
}

void GridModel::sourceRowsAppended()
{
    if (!source_ || source_->gridSuspended())
        return;
    const int rows = source_->gridRowCount();
    if (rows <= rows_)
        return;
    // An insertion keeps the view's scroll position and current cell, which a reset would not.
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
}

void GridModel::sourceRowsInserted(int first, int count)
{
    if (!source_ || source_->gridSuspended())
        return;
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QString GridModel::displayText(GridSource::ColumnKind kind, const QVariant &value)
{
    if (kind == GridSource::ColumnKind::Memo)
        return value.isNull() ? QStringLiteral("(Memo)") : QStringLiteral("(MEMO)");
    if (value.isNull())
        return {};
    if (kind == GridSource::ColumnKind::DateTime && value.canConvert<QDateTime>())
        return Convert::dateTimeToStr(value.toDateTime());
    return value.toString();
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !source_ || source_->gridSuspended() || !index.isValid()
        || index.row() >= source_->gridRowCount())
        return {};
    // Rows are read as they are painted; a read that fails mid-paint shows an
    // empty cell rather than letting the failure unwind through the toolkit.
    try {
        const QString text = displayText(source_->gridColumnKind(index.column()),
                                         source_->gridValue(index.row(), index.column()));
        readFailing_ = false;
        return text;
    } catch (const std::exception &error) {
        if (!readFailing_)
            qCWarning(lcUi).noquote() << "reading a grid's row" << index.row() << "column"
                                      << source_->gridColumnTitle(index.column())
                                      << "failed; it shows empty cells until a read succeeds:"
                                      << QString::fromUtf8(error.what());
        readFailing_ = true;
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !source_)
        return {};
    // The row indicator marks the current row only.
    if (orientation == Qt::Vertical)
        return section == source_->gridCurrentRow() ? QStringLiteral("▶") : QString();
    if (section >= columns_)
        return {};
    return source_->gridColumnTitle(section);
}
