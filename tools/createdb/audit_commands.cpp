#include "createdb/audit_commands.h"

#include "createdb/console.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/record_bin.h"

#include <algorithm>
#include <functional>

namespace {

// Runs `command` on the open database; a failure is reported and gives status 1.
int withDatabase(const AuditCommands::Where &where, const std::function<int(Connection &)> &command)
{
    try {
        Connection connection;
        if (where.server)
            connection.setServer(where.location);
        else
            connection.setConnectionString(Connection::connectionStringForFile(where.location));
        connection.open();
        return command(connection);
    } catch (const Failure &failure) {
        Console::error(failure.message());
        return 1;
    }
}

// One event a line: tabs and line breaks inside a field are written as \t,
// \n and \r (a backslash as \\), so every line splits into six fields.
QString tabField(QString text)
{
    return text.replace('\\', QLatin1String("\\\\"))
        .replace('\t', QLatin1String("\\t"))
        .replace('\n', QLatin1String("\\n"))
        .replace('\r', QLatin1String("\\r"));
}

QString csvField(QString text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); }))
        return text;
    return '"' + text.replace('"', QLatin1String("\"\"")) + '"';
}

QString deletionLine(const RecordBin::Deleted &deleted)
{
    return QStringLiteral("  %1\t姓名：%2\t删除人：%3@%4")
        .arg(AuditTrail::localTime(deleted.deletedAt), deleted.name, deleted.deletedBy, deleted.deletedOn);
}

} // namespace

int AuditCommands::list(const Where &where, const Listing &listing)
{
    return withDatabase(where, [&](Connection &connection) {
        if (listing.csv) {
            // The byte-order mark tells spreadsheet programs that the Chinese is UTF-8.
            Console::write(QStringLiteral("\uFEFF时间,用户,计算机,操作,记录号,说明\r\n"));
        }
        const QDateTime from = listing.from.isValid() ? listing.from.startOfDay() : QDateTime();
        const QDateTime until = listing.to.isValid() ? listing.to.addDays(1).startOfDay() : QDateTime();
        AuditTrail::read(connection, from, until, listing.recordNumber, [&](const AuditTrail::Event &event) {
            const QStringList fields = {AuditTrail::localTime(event.at), event.user, event.computer, event.action,
                                        event.recordNumber.isNull() ? QString() : event.recordNumber.toString(),
                                        event.detail};
            QStringList written;
            for (const QString &field : fields)
                written << (listing.csv ? csvField(field) : tabField(field));
            Console::write(written.join(listing.csv ? QStringLiteral(",") : QStringLiteral("\t"))
                           + (listing.csv ? QStringLiteral("\r\n") : QStringLiteral("\n")));
        });
        return 0;
    });
}

int AuditCommands::verify(const Where &where)
{
    return withDatabase(where, [&](Connection &connection) {
        const AuditTrail::Verdict verdict = AuditTrail::verify(connection);
        if (!verdict.firstBroken) {
            Console::out(QStringLiteral("操作记录完整：共 %1 条，逐条核对无误。").arg(verdict.rows));
            return 0;
        }
        const AuditTrail::Event &broken = *verdict.firstBroken;
        Console::error(QStringLiteral("操作记录第 %1 条（编号 %2，%3，%4）与记录链不符：这一条被改过，"
                                      "或它前面的记录被删除或调换过。前 %5 条完整。")
                           .arg(verdict.rows + 1)
                           .arg(broken.id)
                           .arg(AuditTrail::localTime(broken.at), broken.action)
                           .arg(verdict.rows));
        return 1;
    });
}

int AuditCommands::restore(const Where &where, qint64 recordNumber, const QString &deletedAt)
{
    return withDatabase(where, [&](Connection &connection) {
        const QList<RecordBin::Deleted> deleted = RecordBin::deletedWith(connection, recordNumber);
        if (deleted.isEmpty()) {
            Console::error(QStringLiteral("没有找到记录号为 %1 的已删除检查记录。").arg(recordNumber));
            return 1;
        }
        if (RecordBin::inUse(connection, recordNumber)) {
            Console::error(QStringLiteral("记录号 %1 已被另一份检查记录使用，不能恢复。").arg(recordNumber));
            return 1;
        }
        QList<RecordBin::Deleted> chosen;
        for (const RecordBin::Deleted &one : deleted) {
            if (deletedAt.isEmpty() || AuditTrail::localTime(one.deletedAt) == deletedAt)
                chosen << one;
        }
        if (chosen.size() != 1) {
            Console::error(deletedAt.isEmpty()
                               ? QStringLiteral("记录号 %1 有 %2 份已删除的检查记录，没有恢复任何一份。"
                                                "请用 --deleted-at \"删除时间\" 指明恢复哪一份：")
                                     .arg(recordNumber)
                                     .arg(deleted.size())
                               : QStringLiteral("记录号 %1 没有一份在 %2 删除的记录，没有恢复任何一份。已删除的有：")
                                     .arg(QString::number(recordNumber), deletedAt));
            for (const RecordBin::Deleted &one : deleted)
                Console::error(deletionLine(one));
            return 1;
        }
        RecordBin::restore(connection, chosen.first());
        Console::out(QStringLiteral("已恢复记录号 %1 的检查记录（姓名：%2）。").arg(QString::number(recordNumber), chosen.first().name));
        return 0;
    });
}
