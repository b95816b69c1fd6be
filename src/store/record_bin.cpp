#include "store/record_bin.h"

#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/schema.h"

namespace {

QString examinationColumns()
{
    return Schema::columnNames(Schema::tables().first()).join(',');
}

} // namespace

DataSet::Companion RecordBin::keepingDeletions()
{
    return [](Connection &connection, const RowWrite &change) {
        if (change.kind != RowWrite::Kind::Delete)
            return;
        // The row as stored, not as the list shows it: its widths are narrower.
        QVariantList row;
        connection.rows(QStringLiteral("select jcjlh, xm from hzzl where _rowid_ = ?"), {change.rowid},
                        [&](const QVariantList &found) { row = found; });
        if (row.isEmpty())
            return;  // gone already: nothing to keep
        const QDateTime now = Clock::now();
        // The trace first, as in every traced action (see AuditTrail::append).
        AuditTrail::append(connection, AuditTrail::deleted, row.at(0), QStringLiteral("姓名：") + row.at(1).toString(), now);
        connection.write(QStringLiteral("insert into deleted_records (%1, deleted_at, deleted_by, deleted_on) "
                                        "select %1, ?, ?, ? from hzzl where _rowid_ = ?")
                             .arg(examinationColumns()),
                         {AuditTrail::storedTime(now), AuditTrail::userName(), AuditTrail::computerName(), change.rowid});
    };
}

QList<RecordBin::Deleted> RecordBin::deletedWith(Connection &connection, qint64 recordNumber)
{
    QList<Deleted> found;
    connection.rows(QStringLiteral("select _rowid_, jcjlh, xm, deleted_at, deleted_by, deleted_on "
                                   "from deleted_records where jcjlh = ? order by deleted_at, _rowid_"),
                    {recordNumber}, [&](const QVariantList &row) {
                        found << Deleted{row.at(0).toLongLong(), row.at(1).toLongLong(), row.at(2).toString(),
                                         row.at(3).toString(),   row.at(4).toString(),   row.at(5).toString()};
                    });
    return found;
}

bool RecordBin::inUse(Connection &connection, qint64 recordNumber)
{
    return connection.scalar(QStringLiteral("select count(*) from hzzl where jcjlh = ?"), {recordNumber}).toLongLong() > 0;
}

void RecordBin::restore(Connection &connection, const Deleted &deleted)
{
    connection.transaction([&] {
        // The trace first, as in every traced action (see AuditTrail::append);
        // a refusal below takes it back with everything else. After it no
        // registration in any room can take the number before the commit.
        AuditTrail::append(connection, AuditTrail::restored, deleted.recordNumber,
                           QStringLiteral("姓名：%1，删除于 %2").arg(deleted.name, AuditTrail::localTime(deleted.deletedAt)));
        if (inUse(connection, deleted.recordNumber))
            throw Failure(QStringLiteral("记录号 %1 已被另一份检查记录使用，不能恢复。").arg(deleted.recordNumber));
        if (connection.scalar(QStringLiteral("select count(*) from deleted_records where _rowid_ = ?"), {deleted.rowid}).toLongLong() != 1)
            throw Failure(QStringLiteral("记录号 %1 的这份已删除记录已不在，可能已被恢复。").arg(deleted.recordNumber));
        const QString columns = examinationColumns();
        connection.write(QStringLiteral("insert into hzzl (%1) select %1 from deleted_records where _rowid_ = ?").arg(columns),
                         {deleted.rowid});
        connection.write(QStringLiteral("delete from deleted_records where _rowid_ = ?"), {deleted.rowid});
    });
}
