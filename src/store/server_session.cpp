#include "store/server_session.h"

#include "platform/core/failure.h"

#include <libpq-fe.h>
#include <vector>

namespace {

// Type numbers of the server's built-in types, fixed since its first releases.
constexpr Oid int2Type = 21, int4Type = 23, int8Type = 20, float4Type = 700, float8Type = 701, numericType = 1700,
              textType = 25, charType = 1042, varcharType = 1043, dateType = 1082, timestampType = 1114,
              timestampTzType = 1184;

// "?" marks outside quotes become "$1", "$2", ...: the store writes one dialect.
QByteArray numbered(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size() + 16);
    char quote = 0;
    int number = 0;
    for (const char c : utf8) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            out += '$' + QByteArray::number(++number);
            continue;
        }
        out += c;
    }
    return out;
}

QString trimmedText(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

} // namespace

ServerSession::Result::~Result()
{
    PQclear(result_);
}

int ServerSession::Result::rowCount() const
{
    return PQntuples(result_);
}

int ServerSession::Result::columnCount() const
{
    return PQnfields(result_);
}

QString ServerSession::Result::columnName(int column) const
{
    return QString::fromUtf8(PQfname(result_, column));
}

QString ServerSession::Result::declaredType(int column) const
{
    if (PQftable(result_, column) == InvalidOid)
        return {};
    // A character column's modifier is its width plus four; -1 means no width.
    const int width = PQfmod(result_, column) - 4;
    switch (PQftype(result_, column)) {
    case int2Type:
    case int4Type:
        return QStringLiteral("INTEGER");
    case int8Type:
        return QStringLiteral("BIGINT");
    case float4Type:
    case float8Type:
        return QStringLiteral("DOUBLE");
    case textType:
        return QStringLiteral("TEXT");
    case charType:
    case varcharType:
        return width > 0 ? QStringLiteral("VARCHAR(%1)").arg(width) : QStringLiteral("VARCHAR");
    case dateType:
    case timestampType:
    case timestampTzType:
        return QStringLiteral("DATETIME");
    default:
        return {};
    }
}

QVariant ServerSession::Result::value(int row, int column) const
{
    if (PQgetisnull(result_, row, column))
        return {};
    const char *text = PQgetvalue(result_, row, column);
    switch (PQftype(result_, column)) {
    case int2Type:
    case int4Type:
    case int8Type:
        return QVariant(QByteArray(text).toLongLong());
    case float4Type:
    case float8Type:
    case numericType:
        return QVariant(QByteArray(text).toDouble());
    default:
        return QVariant(QString::fromUtf8(text, PQgetlength(result_, row, column)));
    }
}

ServerSession::ServerSession(const QString &conninfo)
{
    conn_ = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(conn_) == CONNECTION_OK) {
        // Texts travel as UTF-8 whatever the server's locale; dates come as ISO
        // text whatever the server's date style; a statement that waits for a
        // lock gives up like a busy file does.
        PQclear(PQexec(conn_, "set client_encoding = 'UTF8'; set datestyle = 'ISO, YMD'; set lock_timeout = '5s'"));
        return;
    }
    const QString reason = trimmedText(PQerrorMessage(conn_));
    PQfinish(conn_);
    conn_ = nullptr;
    // libpq says "password authentication failed" or "no pg_hba.conf entry"
    // when the server answered and said no; anything else means no answer.
    const bool refused = reason.contains(QLatin1String("authentication")) || reason.contains(QLatin1String("pg_hba.conf"))
                         || reason.contains(QLatin1String("password")) || reason.contains(QLatin1String("does not exist"))
                         || reason.contains(QLatin1String("permission denied"));
    throw Failure((refused ? QStringLiteral("数据库服务器拒绝了登录，请检查 ruvured.ini 中的连接设置和登录账户。")
                           : QStringLiteral("无法连接数据库服务器，请检查网络和服务器是否开启。"))
                  + QStringLiteral("（") + reason + QStringLiteral("）"));
}

ServerSession::~ServerSession()
{
    PQfinish(conn_);
}

bool ServerSession::alive() const
{
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

ServerSession::Result ServerSession::exec(const QString &text, const QVariantList &values)
{
    std::vector<QByteArray> texts;
    std::vector<const char *> pointers;
    texts.reserve(values.size());
    for (const QVariant &value : values) {
        const bool null = value.typeId() == QMetaType::UnknownType || value.typeId() == QMetaType::Nullptr
                          || (value.isNull() && value.typeId() != QMetaType::QString);
        texts.push_back(null ? QByteArray() : value.toString().toUtf8());
        // An empty text is a zero-length text, never null.
        pointers.push_back(null ? nullptr : texts.back().constData());
    }
    const QByteArray statement = numbered(text);
    pg_result *result = PQexecParams(conn_, statement.constData(), int(pointers.size()), nullptr, pointers.data(),
                                     nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result);
    lastState_.clear();
    return Result(result);
}

QVariant ServerSession::scalar(const QString &text, const QVariantList &values)
{
    const Result result = exec(text, values);
    return result.rowCount() > 0 && result.columnCount() > 0 ? result.value(0, 0) : QVariant();
}

QString ServerSession::message(const QString &state, const QString &serverText)
{
    QString sentence;
    if (state.isEmpty() || state.startsWith(QLatin1String("08")))
        sentence = QStringLiteral("与数据库服务器的连接已断开，请稍后再试；下一次操作会重新连接。");
    else if (state == QLatin1String("40001") || state == QLatin1String("40P01") || state == QLatin1String("55P03")
             || state == QLatin1String("57014"))
        sentence = QStringLiteral("数据库正被其他工作站使用，请稍后再试。");
    // 25006: a server (or a standby) that takes no writes.
    else if (state.startsWith(QLatin1String("28")) || state == QLatin1String("42501") || state == QLatin1String("25006"))
        sentence = QStringLiteral("数据库服务器拒绝了这项操作，登录账户没有所需的权限。");
    else if (state == QLatin1String("53100"))
        sentence = QStringLiteral("数据库服务器的磁盘已满，记录无法保存。");
    else if (state.startsWith(QLatin1String("57P")) || state.startsWith(QLatin1String("53")))
        sentence = QStringLiteral("数据库服务器暂时不能使用，请稍后再试。");
    else
        sentence = QStringLiteral("数据库操作失败。");
    return sentence + QStringLiteral("（") + serverText + QStringLiteral("）");
}

void ServerSession::fail(pg_result *result)
{
    // A result without an error state means libpq lost the server on the way.
    lastState_ = result ? QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QString();
    const QString text = trimmedText(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
    PQclear(result);
    if (lastState_ == QLatin1String("23505"))
        throw NumberTaken(message(lastState_, text));
    throw Failure(message(PQstatus(conn_) == CONNECTION_OK ? lastState_ : QString(), text.isEmpty() ? trimmedText(PQerrorMessage(conn_)) : text));
}
