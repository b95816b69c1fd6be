#include "store/connection.h"

#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/data_set.h"
#include "store/group_access.h"
#include "store/integrity_check.h"
#include "store/schema.h"
#include "store/schema_upgrade.h"
#include "store/server_schema.h"
#include "store/server_session.h"
#include "store/statement.h"
#include "store/store_log.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QThread>
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

// The whole-file check gives way to a write for as long as it lasts.
class CheckPause {
public:
    explicit CheckPause(IntegrityCheck *check) : check_(check)
    {
        if (check_)
            check_->pause();
    }
    ~CheckPause()
    {
        if (check_)
            check_->resume();
    }
    CheckPause(const CheckPause &) = delete;
    CheckPause &operator=(const CheckPause &) = delete;

private:
    IntegrityCheck *check_;
};

} // namespace

Connection::Connection() = default;

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
    server_.clear();
}

void Connection::setServer(const QString &conninfo)
{
    close();
    server_ = conninfo;
}

bool Connection::connected() const
{
    return db_ != nullptr || session_ != nullptr;
}

QString Connection::databasePath() const
{
    static const QRegularExpression source(QStringLiteral("(?:^|;)\\s*Data Source=([^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return source.match(connectionString_).captured(1).trimmed();
}

void Connection::open()
{
    if (connected())
        return;
    try {
        if (onServer())
            session_ = std::make_unique<ServerSession>(server_);
        else
            openFile();
        try {
            if (onServer())
                verifyServer();
            else
                verify();
        } catch (...) {
            close();
            throw;
        }
    } catch (const Failure &failure) {
        qCWarning(lcStore).noquote() << failure.message();
        throw;
    }
    qCInfo(lcStore).noquote() << "opened" << (onServer() ? QStringLiteral("the department server") : databasePath());
}

void Connection::verifyServer()
{
    const ServerSchema::Marks marks = ServerSchema::marks(*session_);
    if (marks.applicationId != Schema::applicationId)
        throw Failure(QStringLiteral("数据库服务器上的数据库不是本系统的数据库，请检查 ruvured.ini 中的连接设置。"));
    if (marks.version > ServerSchema::version)
        throw Failure(QStringLiteral("数据库服务器上的数据库来自更新版本的程序，本程序不能使用。"));
    const auto requireColumns = [&](const QList<Schema::Table> &tables) {
        if (const QString missing = ServerSchema::missingColumn(*session_, tables); !missing.isEmpty())
            throw Failure(QStringLiteral("数据库服务器上的数据库缺少%1，不是完整的本系统数据库。").arg(missing));
    };
    if (marks.version < ServerSchema::version) {
        requireColumns(Schema::tables());
        try {
            ServerSchema::upgrade(*session_);
        } catch (const Failure &failure) {
            throw Failure(QStringLiteral("数据库服务器上的数据库来自旧版本的程序，需要升级，但升级没有成功。"
                                         "请数据库管理员以数据库所有者的身份运行一次：ruvured-createdb --upgrade --server "
                                         "\"<连接字符串>\"（%1）")
                              .arg(failure.message()));
        }
    }
    // Every action writes its trace: without the trail nothing could be saved.
    requireColumns(Schema::tables() + Schema::trailTables());
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

    // Without SQLITE_OPEN_CREATE SQLite opens only a file that exists.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(SQLITE_NOMEM));
        close();
        throw Failure(QStringLiteral("无法打开数据库文件“%1”。（%2）").arg(path, reason));
    }
    sqlite3_busy_timeout(db_, busyTimeout_);
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
    const auto requireColumns = [&](const QList<Schema::Table> &tables) {
        for (const Schema::Table &table : tables) {
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
    };
    requireColumns(Schema::tables());
    // A record written is a record kept, even across a power cut; deleted
    // patient data is overwritten, not left in free pages.
    Statement::execute(db_, QStringLiteral("PRAGMA synchronous = EXTRA"));
    Statement::execute(db_, QStringLiteral("PRAGMA secure_delete = ON"));
    if (version < Schema::userVersion)
        upgrade(version);
    // Every action writes its trace: without the trail nothing could be saved.
    requireColumns(Schema::trailTables());
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
    session_.reset();
    statements_.clear();
    // Every statement is finalized by its owner before this: v2 would keep a
    // connection with an unfinished statement alive as a zombie.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3 *Connection::handle()
{
    if (onServer())
        throw Failure(QStringLiteral("这项功能还不能在数据库服务器上使用，请使用本机数据库文件。"));
    open();
    return db_;
}

ServerSession &Connection::session()
{
    open();
    return *session_;
}

void Connection::dropIfLost()
{
    // Inside a transaction the session is the transaction's to drop.
    if (session_ && !session_->alive() && !inServerTransaction_)
        session_.reset();
}

QVariant Connection::scalar(const QString &text, const QVariantList &values)
{
    if (!onServer()) {
        const StatementCache::Lease statement = statements_.take(handle(), text);
        statement->bindAll(values);
        return statement->step() ? statement->value(0) : QVariant();
    }
    const ServerSession::Result result = serverRows(text, values);
    return result.rowCount() > 0 && result.columnCount() > 0 ? result.value(0, 0) : QVariant();
}

void Connection::rows(const QString &text, const QVariantList &values, const std::function<void(const QVariantList &)> &each)
{
    QVariantList row;
    if (!onServer()) {
        const StatementCache::Lease statement = statements_.take(handle(), text);
        statement->bindAll(values);
        while (statement->step()) {
            row.clear();
            for (int column = 0; column < statement->columnCount(); ++column)
                row << statement->value(column);
            each(row);
        }
        return;
    }
    const ServerSession::Result result = serverRows(text, values);
    for (int index = 0; index < result.rowCount(); ++index) {
        row.clear();
        for (int column = 0; column < result.columnCount(); ++column)
            row << result.value(index, column);
        each(row);
    }
}

ServerSession::Result Connection::serverRows(const QString &text, const QVariantList &values)
{
    try {
        return session().exec(text, values);
    } catch (...) {
        dropIfLost();
        throw;
    }
}

QString Connection::columnType(const QString &table, const QString &column)
{
    if (onServer())
        return scalar(QStringLiteral("select format_type(atttypid, atttypmod) from pg_attribute where attrelid = "
                                     "to_regclass(?) and attname = ? and attnum > 0 and not attisdropped"),
                      {table, column})
            .toString();
    const char *declared = nullptr;
    if (sqlite3_table_column_metadata(handle(), "main", table.toUtf8().constData(), column.toUtf8().constData(), &declared,
                                      nullptr, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        return {};
    return QString::fromUtf8(declared);
}

void Connection::read(const std::function<void()> &work)
{
    if (!onServer()) {
        sqlite3 *db = handle();
        if (!sqlite3_get_autocommit(db)) {
            work();
            return;
        }
        Statement::execute(db, QStringLiteral("BEGIN"));
        try {
            work();
        } catch (...) {
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            throw;
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        return;
    }
    if (inServerTransaction_) {
        work();
        return;
    }
    ServerSession &server = session();
    const QScopedValueRollback<bool> inside(inServerTransaction_, true);
    try {
        // Read only: a reading never holds back another room's save.
        server.exec(QStringLiteral("begin isolation level repeatable read read only"));
        work();
        server.exec(QStringLiteral("commit"));
    } catch (...) {
        if (server.alive())
            server.exec(QStringLiteral("rollback"));
        else
            session_.reset();
        throw;
    }
}

bool Connection::transaction(const std::function<void()> &work)
{
    // A write traced beside the action joins the action's own transaction.
    if (onServer() ? inServerTransaction_ : connected() && !sqlite3_get_autocommit(handle())) {
        work();
        return false;
    }
    if (onServer())
        return serverTransaction(work);
    sqlite3 *db = handle();
    finishCounting();
    const CheckPause pause(check_.get());
    // IMMEDIATE: the write lock now, so nothing read inside can be changed by another program before the commit.
    Statement::execute(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        work();
        Statement::execute(db, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return false;
}

bool Connection::serverTransaction(const std::function<void()> &work)
{
    ServerSession &server = session();
    finishCounting();
    QVariant id;
    const QScopedValueRollback<bool> inside(inServerTransaction_, true);
    try {
        // Read committed whatever the server's default: a table's next key is
        // read after the previous writer's commit.
        server.exec(QStringLiteral("begin isolation level read committed"));
        // The transaction's number lets a new session learn whether it committed.
        id = server.scalar(QStringLiteral("select txid_current()"));
        work();
        server.exec(QStringLiteral("commit"));
        return false;
    } catch (...) {
        if (server.alive()) {
            server.exec(QStringLiteral("rollback"));
            throw;
        }
        session_.reset();
        if (id.isNull())
            throw;
    }
    inServerTransaction_ = false;
    // The server went away with the transaction under way, perhaps while
    // committing it: whether it is stored is known only on the server.
    QString status;
    try {
        // A commit the old session's server process received finishes at once;
        // one it never received stays "in progress" until that process notices
        // it was left, and never commits.
        for (int wait = 0; wait < 20; ++wait) {
            status = session().scalar(QStringLiteral("select txid_status(?)"), {id}).toString();
            if (status != QLatin1String("in progress"))
                break;
            QThread::msleep(100);
        }
    } catch (const Failure &failure) {
        dropIfLost();
        throw Failure(QStringLiteral("保存时与数据库服务器的连接断开，重新连接也没有成功，无法查明这次是否已保存。"
                                     "请在服务器恢复后，在“查询病历”中查找这次检查，不要重复保存。（%1）")
                          .arg(failure.message()));
    }
    if (status == QLatin1String("committed"))
        return true;
    throw Failure(QStringLiteral("保存时与数据库服务器的连接断开；重新连接后查明这次没有保存，请再保存一次。"));
}

void Connection::write(const QString &text, const QVariantList &values)
{
    if (onServer()) {
        finishCounting();
        serverRows(text, values);
        return;
    }
    sqlite3 *db = handle();
    finishCounting();
    const CheckPause pause(check_.get());
    const StatementCache::Lease statement = statements_.take(db, text);
    statement->bindAll(values);
    statement->step();
}

qint64 Connection::insert(const QString &table, const QStringList &columns, const QVariantList &values)
{
    const QString marks = QStringList(QList<QString>(columns.size(), QStringLiteral("?"))).join(',');
    const QString text = QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns.join(','), marks);
    if (onServer()) {
        finishCounting();
        return serverRows(text + QStringLiteral(" returning _rowid_"), values).value(0, 0).toLongLong();
    }
    write(text, values);
    return sqlite3_last_insert_rowid(db_);
}

void Connection::finishCounting()
{
    // A result still being counted learns the rest first: the change is not part of its reading.
    for (DataSet *dataSet : dataSets_)
        dataSet->finishCounting();
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
