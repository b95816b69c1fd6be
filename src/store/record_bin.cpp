#include "store/record_bin.h"

#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/statement.h"

namespace {

QString examinationColumns()
{
    return Schema::columnNames(Schema::tables().first()).join(',');
}

} // namespace

DataSet::Companion RecordBin::keepingDeletions()
{
    return [](Connection &connection, const RowWrite &change) {
        // The department server keeps no deleted records yet.
        if (change.kind != RowWrite::Kind::Delete || connection.onServer())
            return;
        // The row as stored, not as the list shows it: its widths are narrower.
        Statement row(connection.handle(), QStringLiteral("select jcjlh, xm from hzzl where _rowid_ = ?"));
        row.bind(1, change.rowid);
        if (!row.step())
            return;  // gone already: nothing to keep
        const QVariant number = row.value(0);
        const QString name = row.value(1).toString();
        const QDateTime now = Clock::now();
        connection.write(QStringLiteral("insert into deleted_records (%1, deleted_at, deleted_by, deleted_on) "
                                        "select %1, ?, ?, ? from hzzl where _rowid_ = ?")
                             .arg(examinationColumns()),
                         {AuditTrail::storedTime(now), AuditTrail::userName(), AuditTrail::computerName(), change.rowid});
        AuditTrail::append(connection, AuditTrail::deleted, number, QStringLiteral("姓名：") + name, now);
    };
}

QList<RecordBin::Deleted> RecordBin::deletedWith(Connection &connection, qint64 recordNumber)
{
    Statement rows(connection.handle(), QStringLiteral("select _rowid_, jcjlh, xm, deleted_at, deleted_by, deleted_on "
                                                       "from deleted_records where jcjlh = ? order by deleted_at, _rowid_"));
    rows.bind(1, recordNumber);
    QList<Deleted> found;
    while (rows.step()) {
        found << Deleted{rows.value(0).toLongLong(), rows.value(1).toLongLong(), rows.value(2).toString(),
                         rows.value(3).toString(),   rows.value(4).toString(),   rows.value(5).toString()};
    }
    return found;
}

bool RecordBin::inUse(Connection &connection, qint64 recordNumber)
{
    return Statement::scalar(connection.handle(), QStringLiteral("select count(*) from hzzl where jcjlh = ?"), {recordNumber})
               .toInt()
           > 0;
}

void RecordBin::restore(Connection &connection, const Deleted &deleted)
{
    connection.transaction([&] {
        // Checked inside the transaction: no registration can take the number meanwhile.
        if (inUse(connection, deleted.recordNumber))
            throw Failure(QStringLiteral("记录号 %1 已被另一份检查记录使用，不能恢复。").arg(deleted.recordNumber));
        const QString columns = examinationColumns();
        connection.write(QStringLiteral("insert into hzzl (%1) select %1 from deleted_records where _rowid_ = ?").arg(columns),
                         {deleted.rowid});
        if (Statement::scalar(connection.handle(), QStringLiteral("select changes()")).toInt() != 1)
            throw Failure(QStringLiteral("记录号 %1 的这份已删除记录已不在，可能已被恢复。").arg(deleted.recordNumber));
        connection.write(QStringLiteral("delete from deleted_records where _rowid_ = ?"), {deleted.rowid});
        AuditTrail::append(connection, AuditTrail::restored, deleted.recordNumber,
                           QStringLiteral("姓名：%1，删除于 %2").arg(deleted.name, AuditTrail::localTime(deleted.deletedAt)));
    });
}
