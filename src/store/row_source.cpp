#include "store/row_source.h"

#include "store/connection.h"

std::optional<RowidList> RowSource::wholeTable()
{
    if (!shape_->condition.isEmpty() || !removalsKept())
        return std::nullopt;
    RowidList keys;
    const QVariant low = connection_->scalar(QStringLiteral("select min(_rowid_) from ") + shape_->table);
    if (low.isNull())
        return keys;
    qint64 next = low.toLongLong();
    const qint64 high = highestKey();
    connection_->rows(QStringLiteral("select rid from removed_rows where tbl = ? and rid between ? and ? order by rid"),
                      {shape_->table, next, high}, [&](const QVariantList &removed) {
                          const qint64 gap = removed.at(0).toLongLong();
                          keys.appendRange(next, gap - 1);
                          next = gap + 1;
                      });
    keys.appendRange(next, high);
    return keys;
}

qint64 RowSource::highestKey()
{
    return connection_->scalar(QStringLiteral("select max(_rowid_) from ") + shape_->table).toLongLong();
}
