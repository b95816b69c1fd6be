#include "store/audit_trail.h"

#include "platform/core/clock.h"
#include "store/connection.h"
#include "store/schema.h"

#include <QCryptographicHash>
#include <QSysInfo>
#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>
#include <pwd.h>
#include <unistd.h>

const QString AuditTrail::saved = QStringLiteral("保存");
const QString AuditTrail::printed = QStringLiteral("打印");
const QString AuditTrail::printFailed = QStringLiteral("打印失败");
const QString AuditTrail::reprinted = QStringLiteral("补打");
const QString AuditTrail::deleted = QStringLiteral("删除");
const QString AuditTrail::restored = QStringLiteral("恢复");
const QString AuditTrail::dictionary = QStringLiteral("字典");

namespace {

const QString columns = QStringLiteral("id, at, os_user, computer, action, jcjlh, detail, hash");

// On the server rooms append one at a time, each from its lock to its
// commit. A key of the one-number kind, which never meets the two-number keys
// the key trigger takes for each table.
constexpr qint64 serverLock = Schema::applicationId;

AuditTrail::Event eventOf(const QVariantList &row)
{
    AuditTrail::Event event;
    event.id = row.at(0).toLongLong();
    event.at = row.at(1).toString();
    event.user = row.at(2).toString();
    event.computer = row.at(3).toString();
    event.action = row.at(4).toString();
    event.recordNumber = row.at(5);
    event.detail = row.at(6).toString();
    event.hash = row.at(7).toString();
    return event;
}

// “text” for each column of a dictionary row, so an empty text still shows.
QString quoted(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &value : values)
        texts << QStringLiteral("“%1”").arg(value.toString());
    return texts.join(' ');
}

} // namespace

QString AuditTrail::userName()
{
    // The effective user, as the system knows it; the environment can be set
    // to anything. Looked up once: a lookup may read the user database.
    static const QString name = [] {
        if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
            return QString::fromLocal8Bit(entry->pw_name);
        return QString::number(::geteuid());
    }();
    return name;
}

QString AuditTrail::computerName()
{
    static const QString name = QSysInfo::machineHostName();
    return name;
}

QString AuditTrail::storedTime(const QDateTime &moment)
{
    return moment.toUTC().toString(Qt::ISODateWithMs);
}

QString AuditTrail::localTime(const QString &stored)
{
    return QDateTime::fromString(stored, Qt::ISODateWithMs).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString AuditTrail::hashOf(const Event &event, const QString &previous)
{
    // Each part with its length before it, so no two contents read alike.
    QByteArray content;
    const auto add = [&content](const QByteArray &part) { content += QByteArray::number(part.size()) + ':' + part; };
    add(previous.toLatin1());
    add(QByteArray::number(event.id));
    add(event.at.toUtf8());
    add(event.user.toUtf8());
    add(event.computer.toUtf8());
    add(event.action.toUtf8());
    add(event.recordNumber.isNull() ? QByteArray("-") : event.recordNumber.toString().toUtf8());
    add(event.detail.toUtf8());
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

void AuditTrail::append(Connection &connection, const QString &action, const QVariant &recordNumber,
                        const QString &detail, const QDateTime &moment)
{
    Event event;
    event.at = storedTime(moment.isValid() ? moment : Clock::now());
    event.user = userName();
    event.computer = computerName();
    event.action = action;
    event.recordNumber = recordNumber;
    event.detail = detail;
    connection.transaction([&] {
        // Read after the lock, inside the write transaction: no other writer
        // can come between. The file's write transaction is that lock already.
        // Every traced action appends first in its transaction, so the rooms
        // all take this lock before any table's key and never wait on each other.
        if (connection.onServer())
            connection.scalar(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(serverLock));
        QString previous;
        event.id = 1;
        connection.rows(QStringLiteral("select id, hash from audit_trail order by id desc limit 1"), {},
                        [&](const QVariantList &last) {
                            event.id = last.at(0).toLongLong() + 1;
                            previous = last.at(1).toString();
                        });
        event.hash = hashOf(event, previous);
        connection.write(QStringLiteral("insert into audit_trail (%1) values (?, ?, ?, ?, ?, ?, ?, ?)").arg(columns),
                         {event.id, event.at, event.user, event.computer, event.action, event.recordNumber,
                          event.detail, event.hash});
    });
}

DataSet::Companion AuditTrail::tracingSaves()
{
    return [](Connection &connection, const RowWrite &change) {
        if (change.kind == RowWrite::Kind::Insert)
            append(connection, saved, change.valueAfter(QStringLiteral("jcjlh")),
                   QStringLiteral("姓名：") + change.valueAfter(QStringLiteral("xm")).toString());
    };
}

DataSet::Companion AuditTrail::tracingDictionary(const QString &name)
{
    return [name](Connection &connection, const RowWrite &change) {
        QString detail;
        switch (change.kind) {
        case RowWrite::Kind::Insert:
            detail = QStringLiteral("%1 添加 %2").arg(name, quoted(change.after));
            break;
        case RowWrite::Kind::Update:
            detail = QStringLiteral("%1 修改 %2 → %3").arg(name, quoted(change.before), quoted(change.after));
            break;
        case RowWrite::Kind::Delete:
            detail = QStringLiteral("%1 删除 %2").arg(name, quoted(change.before));
            break;
        }
        append(connection, dictionary, QVariant(), detail);
    };
}

void AuditTrail::read(Connection &connection, const QDateTime &from, const QDateTime &until,
                      const QVariant &recordNumber, const std::function<void(const Event &)> &each)
{
    QStringList conditions;
    QVariantList values;
    if (from.isValid()) {
        conditions << QStringLiteral("at >= ?");
        values << storedTime(from);
    }
    if (until.isValid()) {
        conditions << QStringLiteral("at < ?");
        values << storedTime(until);
    }
    if (!recordNumber.isNull()) {
        conditions << QStringLiteral("jcjlh = ?");
        values << recordNumber;
    }
    const QString where = conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    // The order is learnt in one short reading, the events are then read a
    // piece at a time: a listing read slowly (through a pager) never holds a
    // reading open, which would keep the program's saves waiting under a
    // rollback journal and the write-ahead log from being folded back.
    std::vector<qint64> ids;
    connection.rows(QStringLiteral("select id from audit_trail%1 order by at, id").arg(where), values,
                    [&](const QVariantList &row) { ids.push_back(row.at(0).toLongLong()); });
    constexpr std::size_t piece = 512;
    for (std::size_t start = 0; start < ids.size(); start += piece) {
        const std::size_t count = std::min(piece, ids.size() - start);
        std::unordered_map<qint64, Event> found;
        const QString marks = QStringList(QList<QString>(qsizetype(count), QStringLiteral("?"))).join(',');
        QVariantList wanted;
        for (std::size_t i = 0; i < count; ++i)
            wanted << ids[start + i];
        connection.rows(QStringLiteral("select %1 from audit_trail where id in (%2)").arg(columns, marks), wanted,
                        [&](const QVariantList &row) {
                            Event event = eventOf(row);
                            found.emplace(event.id, std::move(event));
                        });
        for (std::size_t i = 0; i < count; ++i) {
            if (const auto hit = found.find(ids[start + i]); hit != found.end())
                each(hit->second);
        }
    }
}

AuditTrail::Verdict AuditTrail::verify(Connection &connection)
{
    // Read a few thousand rows at a time, each piece its own short reading:
    // where the file keeps a rollback journal (no write-ahead log on its file
    // system) the program's saves never wait for a walk over a million rows.
    constexpr int piece = 4096;
    Verdict verdict;
    QString previous;
    qint64 after = std::numeric_limits<qint64>::min();
    for (bool more = true; more;) {
        int read = 0;
        connection.rows(QStringLiteral("select %1 from audit_trail where id > ? order by id limit %2").arg(columns).arg(piece),
                        {after}, [&](const QVariantList &row) {
                            if (verdict.firstBroken)
                                return;
                            Event event = eventOf(row);
                            // A removed row leaves a gap in the numbers as well as in the chain.
                            if (event.id != verdict.rows + 1 || hashOf(event, previous) != event.hash) {
                                verdict.firstBroken = std::move(event);
                                return;
                            }
                            previous = event.hash;
                            after = event.id;
                            ++verdict.rows;
                            ++read;
                        });
        more = !verdict.firstBroken && read == piece;
    }
    return verdict;
}
