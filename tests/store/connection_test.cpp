#include "platform/core/failure.h"
#include "store/connection.h"
#include "store/database_creator.h"
#include "store/statement.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

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
        {"damaged",
         [](const QString &p) {
             DatabaseCreator::create(p);
             rawSqlite(p, "insert into bt values ('x'); insert into bt select bt from bt; insert into bt select bt from bt;");
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(4096);  // the first table's b-tree page, right after the schema page
             file.write(QByteArray(16, '\xff'));
         },
         "损坏"},
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
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no journal or side file left
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
    EXPECT_EQ(Statement::scalar(connection.handle(), "pragma synchronous").toInt(), 3);
    EXPECT_EQ(Statement::scalar(connection.handle(), "pragma secure_delete").toInt(), 1);
}
