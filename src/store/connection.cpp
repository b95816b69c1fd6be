#include "store/connection.h"

#include "platform/core/failure.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString databaseFileName = QStringLiteral("ruvured.mdb");

// The file may be written only if its permission bits allow it; a file marked
// read-only stays read-only even for the administrator.
bool writable(const QString &path)
{
    struct stat info {};
    const QByteArray local = path.toLocal8Bit();
    if (::stat(local.constData(), &info) != 0)
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) && ::access(local.constData(), W_OK) == 0;
}

} // namespace

Connection::Connection() : qtConnectionName_(QStringLiteral("ADOConnection1-") + QUuid::createUuid().toString()) {}

Connection::~Connection()
{
    close();
}

QString Connection::connectionStringFor(const QString &programDirectory)
{
    QString directory = programDirectory;
    while (directory.size() > 1 && directory.endsWith('/'))
        directory.chop(1);
    return QStringLiteral("provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + directory + '/' + databaseFileName
        + QStringLiteral(";") + QStringLiteral(" Persist Security Info=false");
}

void Connection::setConnectionString(const QString &text)
{
    close();
    connectionString_ = text;
}

QString Connection::databasePath() const
{
    static const QRegularExpression source(QStringLiteral("(?:^|;)\\s*Data Source=([^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return source.match(connectionString_).captured(1).trimmed();
}

void Connection::open()
{
    if (db_)
        return;
    const QString path = databasePath();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        throw Failure(QStringLiteral("找不到数据库文件“%1”。").arg(path));
    if (!file.isFile())
        throw Failure(QStringLiteral("“%1”不是数据库文件。").arg(path));
    if (!writable(path))
        throw Failure(QStringLiteral("数据库文件“%1”是只读的，程序无法保存记录。").arg(path));

    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtConnectionName_);
        // mode=rw: SQLite must never create the file, only open it.
        database.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open()) {
            const QString reason = database.lastError().text();
            database = QSqlDatabase();
            QSqlDatabase::removeDatabase(qtConnectionName_);
            throw Failure(QStringLiteral("无法打开数据库文件“%1”：%2").arg(path, reason));
        }
        db_ = *static_cast<sqlite3 *const *>(database.driver()->handle().constData());
    }
    try {
        verify();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::verify()
{
    const QString path = databasePath();
    QVariant applicationId;
    try {
        applicationId = Statement::scalar(db_, QStringLiteral("PRAGMA application_id"));
    } catch (const Failure &) {
        throw Failure(QStringLiteral("“%1”不是数据库文件，或已损坏。").arg(path));
    }
    if (applicationId.toInt() != Schema::applicationId)
        throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
    const int version = Statement::scalar(db_, QStringLiteral("PRAGMA user_version")).toInt();
    if (version > Schema::userVersion)
        throw Failure(QStringLiteral("数据库文件“%1”来自更新版本的程序，本程序不能使用。").arg(path));
    if (version < Schema::userVersion)
        throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
    if (sqlite3_db_readonly(db_, "main") == 1)
        throw Failure(QStringLiteral("数据库文件“%1”是只读的，程序无法保存记录。").arg(path));
    QString check;
    try {
        check = Statement::scalar(db_, QStringLiteral("PRAGMA quick_check")).toString();
    } catch (const Failure &failure) {
        check = failure.message();
    }
    if (check != QLatin1String("ok"))
        throw Failure(QStringLiteral("数据库文件“%1”已损坏：%2").arg(path, check));

    // A record written is a record kept, even across a power cut; deleted
    // patient data is overwritten, not left in free pages.
    Statement::execute(db_, QStringLiteral("PRAGMA synchronous = EXTRA"));
    Statement::execute(db_, QStringLiteral("PRAGMA secure_delete = ON"));
    // Room for the record-number and date indexes of a million examinations,
    // so counting rows at every registration stays in memory after the first.
    Statement::execute(db_, QStringLiteral("PRAGMA cache_size = -64000"));
}

void Connection::close()
{
    if (!db_ && !QSqlDatabase::contains(qtConnectionName_))
        return;
    db_ = nullptr;
    {
        QSqlDatabase database = QSqlDatabase::database(qtConnectionName_, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(qtConnectionName_);
}

sqlite3 *Connection::handle()
{
    open();
    return db_;
}
