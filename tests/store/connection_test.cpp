#include "platform/core/clock.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/database_creator.h"
#include "store/integrity_check.h"
#include "store/query.h"
#include "store/table_data_set.h"
#include "store/schema.h"
#include "store/statement.h"
#include "failure_text.h"
#include "temp_database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void rawSqlite(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toLocal8Bit().constData(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct BadFile {
    const char *what;
    std::function<void(const QString &path)> make;
    const char *messagePart;
};

} // namespace

TEST(Connection, BuildsTheConnectionStringFromTheProgramDirectory)
{
    EXPECT_EQ(Connection::connectionStringFor("/opt/ruvured/"),
              "provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/ruvured/ruvured.mdb; Persist Security Info=false");
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor("/opt/ruvured"));
    EXPECT_EQ(connection.databasePath(), "/opt/ruvured/ruvured.mdb");
}

TEST(Connection, ReportsEveryUnusableFileAndLeavesItUntouched)
{
    const std::vector<BadFile> cases = {
        {"plain text", [](const QString &p) { writeFile(p, "patient list\n"); }, "不是数据库文件"},
        {"empty file", [](const QString &p) { writeFile(p, ""); }, "不是本系统"},
        {"another program's database", [](const QString &p) { rawSqlite(p, "create table t(x)"); }, "不是本系统"},
        {"newer schema",
         [](const QString &p) {
             DatabaseCreator::create(p);
             rawSqlite(p, "pragma user_version = 99");
         },
         "更新版本"},
        {"read-only",
         [](const QString &p) {
             DatabaseCreator::create(p);
             QFile::setPermissions(p, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         },
         "只读"},
        {"a leftover journal in a folder that cannot be written",
         [](const QString &p) {
             DatabaseCreator::create(p);
             writeFile(p + "-journal", QByteArray(512, '\x01'));
             QFile::setPermissions(QFileInfo(p).absolutePath(), QFile::ReadOwner | QFile::ExeOwner);
         },
         "文件夹"},
        {"a folder that cannot be written",
         [](const QString &p) {
             DatabaseCreator::create(p);
             QFile::setPermissions(QFileInfo(p).absolutePath(), QFile::ReadOwner | QFile::ExeOwner);
         },
         "文件夹"},
    };
    for (const BadFile &bad : cases) {
        SCOPED_TRACE(bad.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("ruvured.mdb");
        bad.make(path);
        const QByteArray before = digest(path);

        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(dir.path()));
        QString message;
        try {
            connection.open();
        } catch (const Failure &failure) {
            message = failure.message();
        }
        EXPECT_TRUE(message.contains(QString::fromUtf8(bad.messagePart))) << message.toStdString();
        EXPECT_FALSE(connection.connected());
        EXPECT_EQ(digest(path), before);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        EXPECT_TRUE(left == QStringList{"ruvured.mdb"} || left == (QStringList{"ruvured.mdb", "ruvured.mdb-journal"}))
            << left.join(' ').toStdString();  // no journal or side file of ours
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(Connection, MissingFileIsReportedNotCreatedAndRetriedLater)
{
    QTemporaryDir dir;
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    EXPECT_THROW(connection.open(), Failure);
    EXPECT_THROW(connection.handle(), Failure);
    EXPECT_FALSE(QFile::exists(dir.filePath("ruvured.mdb")));

    // Once the file is there, the next database action connects.
    DatabaseCreator::create(dir.filePath("ruvured.mdb"));
    EXPECT_EQ(Statement::scalar(connection.handle(), "select count(*) from hzzl").toInt(), 0);
    // Write-ahead log with every commit synced: a backup or a check reads a snapshot beside the saves.
    EXPECT_EQ(Statement::scalar(connection.handle(), "pragma journal_mode").toString(), "wal");
    EXPECT_EQ(Statement::scalar(connection.handle(), "pragma synchronous").toInt(), 2);
    EXPECT_EQ(Statement::scalar(connection.handle(), "pragma secure_delete").toInt(), 1);
}

TEST(Connection, AFileLockedByAnotherProgramIsInUseNotDamaged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    const QByteArray before = digest(path);
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toLocal8Bit().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);

    Connection connection;
    connection.setBusyTimeout(50);
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    const QString message = failureOf([&] { connection.open(); });
    EXPECT_TRUE(message.contains("其他程序使用")) << message.toStdString();
    EXPECT_FALSE(message.contains("损坏"));

    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(digest(path), before);
    // Once the other program is done, the next action connects.
    EXPECT_EQ(Statement::scalar(connection.handle(), "select count(*) from hzzl").toInt(), 0);
}

TEST(Connection, AFileWithTheOldDeclarationsIsUpgradedAndKeptBesideIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    rawSqlite(path, "pragma application_id = 1381388868; pragma user_version = 1;"
                    "create table hzzl (jcjlh INTEGER, xm VARCHAR(50), xb VARCHAR(50), nl INTEGER, jcrq DATETIME, "
                    "jcbw VARCHAR(50), jcks VARCHAR(50), lczd VARCHAR(50), jcsj MEMO, zdyj MEMO, jtzz VARCHAR(50));"
                    "create index hzzl_jcjlh on hzzl (jcjlh);"
                    "create table ks (ksmc VARCHAR(50), kspym VARCHAR(50)); create table bwmc (bwmc VARCHAR(50), bwpym VARCHAR(50));"
                    "create table bt (bt VARCHAR(50)); create table nr (bt VARCHAR(50), nr VARCHAR(255));"
                    "insert into hzzl (jcjlh, jcsj, zdyj, jcrq) values (2006030501, '心影不大', '1.50', '2006-03-05');"
                    "insert into ks values ('内科', 'NK');");

    Connection connection;
    QStringList stages;  // what the operator's window is told, stage by stage, ending with an empty one
    connection.onUpgrade([&](const QString &stage, int percent) {
        EXPECT_TRUE(percent >= 0 && percent <= 100) << percent;
        if (stages.isEmpty() || stages.last() != stage)
            stages << stage;
    });
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    // The copy holds patient records: owner and group only, even under an open umask.
    const mode_t umask = ::umask(0);
    connection.open();
    ::umask(umask);
    struct stat copyInfo {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath("ruvured.mdb.v1.bak")).constData(), &copyInfo), 0);
    EXPECT_EQ(copyInfo.st_mode & 0777, 0660u);
    EXPECT_EQ(stages, (QStringList{"正在保存原文件的副本", "正在升级数据表", "正在整理数据库文件", ""}));
    sqlite3 *db = connection.handle();
    EXPECT_EQ(Statement::scalar(db, "pragma user_version").toInt(), Schema::userVersion);
    EXPECT_EQ(Statement::scalar(db, "select type from pragma_table_info('hzzl') where name = 'jcsj'").toString(), "MEMO TEXT");
    EXPECT_EQ(Statement::scalar(db, "select count(*) from sqlite_master where type = 'index' and tbl_name = 'hzzl'").toInt(), 3);
    EXPECT_EQ(Statement::scalar(db, "select count(*) from sqlite_master where type = 'trigger'").toInt(), 13);
    EXPECT_EQ(Statement::scalar(db, "select jcsj || '|' || jcrq from hzzl").toString(), "心影不大|2006-03-05");
    EXPECT_EQ(Statement::scalar(db, "select ksmc from ks").toString(), "内科");
    // The old tables' pages are not kept as free space.
    EXPECT_EQ(Statement::scalar(db, "pragma freelist_count").toInt(), 0);
    EXPECT_EQ(Statement::scalar(db, "select count(*) from file_checks").toInt(), 0);
    // The copy beside it is the file as it was.
    const QString kept = dir.filePath("ruvured.mdb.v1.bak");
    sqlite3 *old = nullptr;
    ASSERT_EQ(sqlite3_open_v2(kept.toLocal8Bit().constData(), &old, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(Statement::scalar(old, "pragma user_version").toInt(), 1);
    EXPECT_EQ(Statement::scalar(old, "select type from pragma_table_info('hzzl') where name = 'jcsj'").toString(), "MEMO");
    EXPECT_EQ(Statement::scalar(old, "select zdyj from hzzl").toDouble(), 1.5);
    sqlite3_close(old);

    TableDataSet hzzl(&connection, "ADODataSet1", "hzzl");
    hzzl.Open();
    hzzl.Append();
    hzzl.fieldByName("zdyj").setValue("007");
    hzzl.Post();
    EXPECT_EQ(Statement::scalar(db, "select zdyj from hzzl where jcjlh is null").toString(), "007");
}

// A file from before the trail gains its tables and triggers, empty, and
// nothing else changes; the trail starts with the first action after it.
TEST(Connection, AFileWithoutTheTrailGainsItAndNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    rawSqlite(path, "drop table audit_trail; drop table deleted_records; pragma user_version = 3;"
                    "insert into hzzl (jcjlh, xm, jcsj) values (2006030501, '张三', '007'); insert into ks values ('内科', 'NK');");
    const auto contents = [](sqlite3 *db) {
        return Statement::scalar(db, "select group_concat(name || ':' || ifnull(sql, ''), ';') from (select * from "
                                     "sqlite_master where tbl_name not in ('audit_trail', 'deleted_records') order by name)")
                   .toString()
               + Statement::scalar(db, "select group_concat(quote(jcjlh) || quote(xm) || quote(jcsj)) from hzzl").toString()
               + Statement::scalar(db, "select group_concat(ksmc || kspym) from ks").toString();
    };
    sqlite3 *old = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toLocal8Bit().constData(), &old, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const QString before = contents(old);
    sqlite3_close(old);

    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    sqlite3 *db = connection.handle();
    EXPECT_TRUE(QFile::exists(dir.filePath("ruvured.mdb.v3.bak")));
    EXPECT_EQ(Statement::scalar(db, "pragma user_version").toInt(), Schema::userVersion);
    EXPECT_EQ(contents(db), before);
    EXPECT_EQ(Statement::scalar(db, "select count(*) from audit_trail").toInt(), 0);
    AuditTrail::append(connection, AuditTrail::restored, 2006030501, QString());
    const AuditTrail::Verdict verdict = AuditTrail::verify(connection);
    EXPECT_EQ(verdict.rows, 1);
    EXPECT_FALSE(verdict.firstBroken);
}

TEST(Connection, AnUpgradeThatCannotKeepTheOldFileLeavesItUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    rawSqlite(path, "pragma user_version = 1");
    // The copy's name leads nowhere that can be written.
    ASSERT_TRUE(QFile::link(dir.filePath("missing/folder/copy"), dir.filePath("ruvured.mdb.v1.bak")));
    const QByteArray before = digest(path);
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    const QString message = failureOf([&] { connection.open(); });
    EXPECT_TRUE(message.contains("升级")) << message.toStdString();
    EXPECT_EQ(digest(path), before);
}

TEST(Connection, DamageIsReportedByTheCheckAfterOpening)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    rawSqlite(path, "insert into hzzl (jcjlh) values (1); insert into hzzl select * from hzzl;");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(4096);  // the first table's b-tree page, right after the schema page
        file.write(QByteArray(16, '\xff'));
    }
    QStringList reported;
    Connection connection;
    connection.onDamage([&](const QString &message) { reported << message; });
    connection.setCheckDelay(0);
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    connection.open();  // the checks at opening cost the same for any size; they pass
    ASSERT_NE(connection.integrityCheck(), nullptr);
    connection.integrityCheck()->wait();
    QElapsedTimer waited;
    waited.start();
    while (reported.isEmpty() && waited.elapsed() < 5000)
        QCoreApplication::processEvents();
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported.first().contains("损坏")) << reported.first().toStdString();
}

// The whole file is read at most once a day: a file found sound today is not
// read again by the next start, and damage is still found on another day.
TEST(Connection, TheWholeFileIsCheckedOnceADay)
{
    struct Case {
        const char *lastSound;  // day recorded in the file, or none
        bool checked;
    };
    const QDate today(2006, 3, 5);
    for (const Case &c : {Case{nullptr, true}, Case{"2006-03-04", true}, Case{"2006-03-05", false}}) {
        SCOPED_TRACE(c.lastSound ? c.lastSound : "never");
        QTemporaryDir dir;
        const QString path = dir.filePath("ruvured.mdb");
        DatabaseCreator::create(path);
        rawSqlite(path, "insert into hzzl (jcjlh) values (1); insert into hzzl select * from hzzl;");
        if (c.lastSound)
            rawSqlite(path, (QByteArray("insert into file_checks values ('quick_check', '") + c.lastSound + "')").constData());
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.seek(4096);
            file.write(QByteArray(16, '\xff'));
        }
        Clock::setFixed(today.startOfDay());
        QStringList reported;
        Connection connection;
        connection.onDamage([&](const QString &message) { reported << message; });
        connection.setCheckDelay(0);
        connection.setConnectionString(Connection::connectionStringFor(dir.path()));
        connection.open();
        Clock::clearFixed();
        connection.integrityCheck()->wait();
        QCoreApplication::processEvents();
        EXPECT_EQ(reported.size(), c.checked ? 1 : 0);
    }

    // A sound file records the day, and the next opening that day reads nothing more.
    TempDatabase db;
    db.connection().close();
    db.connection().onDamage([](const QString &) {});
    db.connection().setCheckDelay(0);
    db.connection().open();
    db.connection().integrityCheck()->wait();
    EXPECT_EQ(db.scalar("select checked_on from file_checks where kind = 'quick_check'").toString(),
              Clock::today().toString(Qt::ISODate));
}

// The check waits while the operator works, and runs once he leaves the program alone.
TEST(Connection, TheCheckWaitsForTheOperatorToPause)
{
    TempDatabase db;
    db.connection().close();
    db.connection().onDamage([](const QString &) {});
    db.connection().setCheckDelay(1000);
    db.connection().open();
    QElapsedTimer working;
    working.start();
    while (working.elapsed() < 2000) {
        db.connection().operatorActive();
        QThread::msleep(50);
    }
    EXPECT_TRUE(db.scalar("select count(*) from file_checks").toInt() == 0);
    db.connection().integrityCheck()->wait();
    EXPECT_EQ(db.scalar("select count(*) from file_checks").toInt(), 1);
}

TEST(Connection, TheCheckGivesWayToTheProgramsOwnSaves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    rawSqlite(path, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
                    "insert into nr select 'x', printf('%0200d', i) from n;");
    QStringList reported;
    Connection connection;
    connection.setBusyTimeout(100);
    connection.onDamage([&](const QString &message) { reported << message; });
    connection.setCheckDelay(0);
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    connection.open();
    TableDataSet bt(&connection, "ADODataSet3", "bt");
    bt.Open();
    for (int i = 0; i < 50; ++i) {
        bt.Append();
        bt.fieldByName("bt").setValue(QString::number(i));
        bt.Post();
    }
    connection.integrityCheck()->wait();
    QCoreApplication::processEvents();
    EXPECT_TRUE(reported.isEmpty()) << reported.join(QChar(10)).toStdString();
    EXPECT_EQ(Statement::scalar(connection.handle(), "select count(*) from bt").toInt(), 50);
}

TEST(Connection, ASaveWhileAnotherProgramHoldsTheFileSaysItIsInUse)
{
    QTemporaryDir dir;
    DatabaseCreator::create(dir.filePath("ruvured.mdb"));
    Connection connection;
    connection.setBusyTimeout(50);
    connection.setConnectionString(Connection::connectionStringFor(dir.path()));
    TableDataSet bt(&connection, "ADODataSet3", "bt");
    bt.Open();

    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(dir.filePath("ruvured.mdb").toLocal8Bit().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    bt.Append();
    bt.fieldByName("bt").setValue("胸部");
    EXPECT_EQ(failureOf([&] { bt.Post(); }), "数据库文件正被其他程序使用，请稍后再试。（database is locked）");
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // The row is still there to be saved once the other program is done.
    bt.Post();
    EXPECT_EQ(Statement::scalar(connection.handle(), "select bt from bt").toString(), "胸部");
    EXPECT_EQ(bt.recordCount(), 1);
}

// Statements the connection keeps prepared are given back reset: none holds a
// reading open between actions, and one still being stepped is not shared.
TEST(Connection, KeptStatementsHoldNothingOpenAndAreNotShared)
{
    TempDatabase db;
    Connection &connection = db.connection();
    for (int i = 1; i <= 3; ++i)
        connection.write("insert into bt (bt) values (?)", {QString::number(i)});
    const auto busyStatements = [&] {
        int busy = 0;
        for (sqlite3_stmt *statement = sqlite3_next_stmt(connection.handle(), nullptr); statement;
             statement = sqlite3_next_stmt(connection.handle(), statement))
            busy += sqlite3_stmt_busy(statement);
        return busy;
    };
    EXPECT_EQ(connection.scalar("select bt from bt order by bt").toString(), "1");
    EXPECT_EQ(busyStatements(), 0);

    // The same text inside its own rows: a second statement, each with its own values.
    QStringList pairs;
    connection.rows("select bt from bt where bt >= ? order by bt", {"2"}, [&](const QVariantList &outer) {
        connection.rows("select bt from bt where bt >= ? order by bt", {"3"},
                        [&](const QVariantList &inner) { pairs << outer.at(0).toString() + inner.at(0).toString(); });
    });
    EXPECT_EQ(pairs, QStringList({"23", "33"}));
    EXPECT_EQ(busyStatements(), 0);
    // Values of an earlier use never linger: an unbound parameter is null.
    EXPECT_EQ(connection.scalar("select ?", {7}).toInt(), 7);
    EXPECT_TRUE(connection.scalar("select ?", {}).isNull());
}
