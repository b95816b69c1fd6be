#include "store/connection.h"

#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/data_set.h"
#include "store/group_access.h"
#include "store/integrity_check.h"
#include "store/schema.h"
#include "store/schema_upgrade.h"
#include "store/statement.h"
#include "store/store_log.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString databaseFileName = QStringLiteral("ruvured.mdb");

// A file or folder may be written only if its permission bits allow it; one
// marked read-only stays read-only even for the administrator.
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
    return connectionStringForFile(directory + '/' + databaseFileName);
}

QString Connection::connectionStringForFile(const QString &databaseFile)
{
    return QStringLiteral("provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + databaseFile + QStringLiteral(";")
        + QStringLiteral(" Persist Security Info=false");
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
    try {
        openFile();
    } catch (const Failure &failure) {
        qCWarning(lcStore).noquote() << failure.message();
        throw;
    }
    qCInfo(lcStore).noquote() << "opened" << databasePath();
}

void Connection::openFile()
{
    const QString path = databasePath();
    // An operator outside the records' group cannot even see the file: tell
    // him which group to join, not that the file is missing.
    if (const QString refusal = GroupAccess::refusal(path); !refusal.isEmpty())
        throw Failure(refusal);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        throw Failure(QStringLiteral("找不到数据库文件“%1”。").arg(path));
    if (!file.isFile())
        throw Failure(QStringLiteral("“%1”不是数据库文件。").arg(path));
    if (!writable(path))
        throw Failure(QStringLiteral("数据库文件“%1”是只读的，程序无法保存记录。").arg(path));
    // Every save writes a journal beside the file, and a journal left by an
    // interrupted save must be rolled back there: a folder that cannot be
    // written is reported now, not when the first report is saved.
    if (!writable(file.absolutePath()))
        throw Failure(QStringLiteral("数据库文件所在的文件夹“%1”不能写入，程序无法保存记录。").arg(file.absolutePath()));

    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtConnectionName_);
        // mode=rw: SQLite must never create the file, only open it.
        database.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open()) {
            const QString reason = database.lastError().text();
            database = QSqlDatabase();
            QSqlDatabase::removeDatabase(qtConnectionName_);
            throw Failure(QStringLiteral("无法打开数据库文件“%1”。（%2）").arg(path, reason));
        }
        db_ = *static_cast<sqlite3 *const *>(database.driver()->handle().constData());
    }
    sqlite3_busy_timeout(db_, busyTimeout_);
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
    sqlite3_stmt *header = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &header, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(header);
    const int applicationId = rc == SQLITE_ROW ? sqlite3_column_int(header, 0) : 0;
    sqlite3_finalize(header);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        throw Failure(QStringLiteral("数据库文件“%1”正被其他程序使用，请稍后再试。（%2）")
                          .arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    if (rc != SQLITE_ROW)
        throw Failure(QStringLiteral("“%1”不是数据库文件，或已损坏。（%2）").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    if (applicationId != Schema::applicationId)
        throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
    const int version = Statement::scalar(db_, QStringLiteral("PRAGMA user_version")).toInt();
    if (version > Schema::userVersion)
        throw Failure(QStringLiteral("数据库文件“%1”来自更新版本的程序，本程序不能使用。").arg(path));
    if (version < Schema::oldestUpgradable)
        throw Failure(QStringLiteral("“%1”不是本系统的数据库文件。").arg(path));
    if (sqlite3_db_readonly(db_, "main") == 1)
        throw Failure(QStringLiteral("数据库文件“%1”是只读的，程序无法保存记录。").arg(path));
    for (const Schema::Table &table : Schema::tables()) {
        Statement columns(db_, QStringLiteral("select name from pragma_table_info(?)"));
        columns.bind(1, table.name);
        QStringList present;
        while (columns.step())
            present << columns.value(0).toString().toLower();
        for (const QString &column : Schema::columnNames(table)) {
            if (!present.contains(column))
                throw Failure(QStringLiteral("数据库文件“%1”缺少表“%2”或它的列“%3”，不是完整的本系统数据库。")
                                  .arg(path, table.name, column));
        }
    }
    // A record written is a record kept, even across a power cut; deleted
    // patient data is overwritten, not left in free pages.
    Statement::execute(db_, QStringLiteral("PRAGMA synchronous = EXTRA"));
    Statement::execute(db_, QStringLiteral("PRAGMA secure_delete = ON"));
    if (version < Schema::userVersion)
        upgrade(version);
    // The write-ahead log lets a backup or a check read one snapshot of the
    // file while saves go on. The mode stays with the file; where it cannot be
    // set (a file system without shared memory) the rollback journal stays.
    if (Statement::scalar(db_, QStringLiteral("PRAGMA journal_mode = WAL")).toString() == QLatin1String("wal"))
        Statement::execute(db_, QStringLiteral("PRAGMA synchronous = FULL"));
    // Room for the record-number and date indexes of a million examinations,
    // so counting rows at every registration stays in memory after the first.
    Statement::execute(db_, QStringLiteral("PRAGMA cache_size = -64000"));
    // The whole file is checked beside the operator's work, never before the main menu.
    if (onDamage_)
        check_ = std::make_unique<IntegrityCheck>(path, onDamage_, std::chrono::milliseconds(checkDelay_), Clock::today());
}

void Connection::upgrade(int version)
{
    try {
        SchemaUpgrade::run(db_, databasePath(), version, onUpgrade_);
    } catch (...) {
        if (onUpgrade_)
            onUpgrade_({}, 100);
        throw;
    }
    if (onUpgrade_)
        onUpgrade_({}, 100);
}

void Connection::operatorActive()
{
    if (check_)
        check_->operatorActive();
}

void Connection::close()
{
    check_.reset();
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

qint64 Connection::write(const QString &text, const QVariantList &values)
{
    sqlite3 *db = handle();
    // A result still being counted learns the rest first: the change is not part of its reading.
    for (DataSet *dataSet : dataSets_)
        dataSet->finishCounting();
    if (check_)
        check_->pause();
    try {
        Statement::execute(db, text, values);
    } catch (...) {
        if (check_)
            check_->resume();
        throw;
    }
    if (check_)
        check_->resume();
    return sqlite3_last_insert_rowid(db);
}

void Connection::attach(DataSet *dataSet)
{
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void Connection::detach(DataSet *dataSet)
{
    std::erase(dataSets_, dataSet);
}

void Connection::keepRowBeforeChange(const QString &table, qint64 rowid, const DataSet *changing)
{
    for (DataSet *dataSet : dataSets_) {
        if (dataSet != changing)
            dataSet->keepRowBeforeChange(table, rowid);
    }
}
