#include "store/statement.h"

#include "platform/core/failure.h"

#include <sqlite3.h>

Statement::Statement(sqlite3 *db, const QString &text) : db_(db)
{
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &statement_, nullptr) != SQLITE_OK)
        fail(db_);
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

QString Statement::message(int code, const QString &engineText)
{
    QString sentence;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sentence = QStringLiteral("数据库文件正被其他程序使用，请稍后再试。");
        break;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        sentence = QStringLiteral("数据库文件或它所在的文件夹不能写入，记录无法保存。");
        break;
    case SQLITE_FULL:
        sentence = QStringLiteral("磁盘已满，记录无法保存。");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        sentence = QStringLiteral("数据库文件已损坏，请用备份恢复。");
        break;
    case SQLITE_IOERR:
        sentence = QStringLiteral("读写数据库文件时出错。");
        break;
    default:
        sentence = QStringLiteral("数据库操作失败。");
        break;
    }
    return sentence + QStringLiteral("（") + engineText + QStringLiteral("）");
}

void Statement::fail(sqlite3 *db)
{
    throw Failure(message(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))));
}

void Statement::bind(const QString &name, const QVariant &value)
{
    const int position = sqlite3_bind_parameter_index(statement_, (':' + name).toUtf8().constData());
    if (position > 0)
        bind(position, value);
}

void Statement::bind(int position, const QVariant &value)
{
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        rc = sqlite3_bind_null(statement_, position);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        rc = sqlite3_bind_int64(statement_, position, value.toLongLong());
        break;
    case QMetaType::Double:
        rc = sqlite3_bind_double(statement_, position, value.toDouble());
        break;
    default:
        if (value.isNull() && value.typeId() != QMetaType::QString) {
            rc = sqlite3_bind_null(statement_, position);
        } else {
            // An empty text is bound as a zero-length text, never as null.
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement_, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        break;
    }
    if (rc != SQLITE_OK)
        fail(db_);
}

void Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step()
{
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_);
}

void Statement::reset()
{
    sqlite3_reset(statement_);
}

void Statement::clearBindings()
{
    sqlite3_clear_bindings(statement_);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(statement_);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(statement_, column));
}

QString Statement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(statement_, column));
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement_, column));
    case SQLITE_NULL:
        return {};
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement_, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement_, column)));
    }
    }
}

void Statement::execute(sqlite3 *db, const QString &text, const QVariantList &values)
{
    Statement statement(db, text);
    statement.bindAll(values);
    statement.step();
}

QVariant Statement::scalar(sqlite3 *db, const QString &text, const QVariantList &values)
{
    Statement statement(db, text);
    statement.bindAll(values);
    return statement.step() ? statement.value(0) : QVariant();
}
