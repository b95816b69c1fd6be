#include "createdb/sample_dictionaries.h"
#include "existing_file.h"
#include "failure_text.h"
#include "private_cluster.h"
#include "store/audit_trail.h"
#include "store/connection.h"
#include "store/query.h"
#include "store/statement.h"
#include "temp_database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CREATEDB_PROGRAM), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(CreatedbTool, CreatesADatabaseTheProgramOpens)
{
    struct Case {
        QStringList arguments; // "{db}" stands for the database path
        QString folder;
        bool sample;
    };
    const QList<Case> cases = {
        {{"--sample", "{db}"}, "", true},
        {{"{db}", "--sample"}, "", true},
        {{"{db}"}, "", false},
        {{"--sample", "{db}"}, "放射 科", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.arguments.join(' ') + ' ' + c.folder).toStdString());
        const QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(c.folder);
        ASSERT_TRUE(QDir().mkpath(folder));

        const ToolRun run = runTool(QStringList(c.arguments).replaceInStrings("{db}", folder + "/ruvured.mdb"));
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(folder));
        const auto count = [&](const char *table) {
            return Statement::scalar(connection.handle(), QStringLiteral("select count(*) from %1").arg(table)).toInt();
        };
        EXPECT_EQ(count("ks") > 0, c.sample);
        EXPECT_EQ(count("nr") > 0, c.sample);
        EXPECT_EQ(count("hzzl"), 0);
    }
}

TEST(CreatedbTool, RefusesAnExistingFileAndLeavesItUntouched)
{
    for (const auto &[name, bytes] : ExistingFile::foreignKinds()) {
        for (const bool sample : {false, true}) {
            SCOPED_TRACE(std::string(name) + (sample ? " with --sample" : ""));
            const ExistingFile existing(bytes);
            const ToolRun run = runTool(sample ? QStringList{"--sample", existing.path()} : QStringList{existing.path()});
            EXPECT_NE(run.exitCode, 0);
            EXPECT_TRUE(run.errors.contains(QStringLiteral("已存在"))) << run.errors.toStdString();
            EXPECT_TRUE(existing.untouched());
        }
    }
}

TEST(CreatedbTool, RejectsAWrongCommandLineWithoutCreatingAnything)
{
    const QList<QStringList> cases = {
        {},
        {"--sample"},
        {"a.mdb", "b.mdb"},
        {"--force", "a.mdb"},
        {"--check"},
        {"--backup", "a.mdb"},
        {"--check", "--backup", "a.mdb", "b.mdb"},
    };
    for (const QStringList &arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const QTemporaryDir dir;
        QStringList absolute;
        for (const QString &argument : arguments)
            absolute << (argument.startsWith('-') ? argument : dir.filePath(argument));

        const ToolRun run = runTool(absolute);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.errors.contains(QStringLiteral("用法"))) << run.errors.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("a.mdb")));
        EXPECT_FALSE(QFile::exists(dir.filePath("b.mdb")));
    }
}

TEST(CreatedbTool, ChecksAndBacksUpAFileInUse)
{
    TempDatabase db;
    db.exec("insert into hzzl (jcjlh, zdyj) values (2006030501, '007')");
    // The program is running: a result open, and a save under way that is not committed yet.
    Query all(&db.connection(), "ADOQuery4");
    all.Reopen({"select *  from hzzl"});
    db.exec("begin immediate");
    db.exec("insert into hzzl (jcjlh) values (2006030502)");

    ToolRun run = runTool({"--check", db.path()});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();

    const QString copy = db.directory() + "/backup.mdb";
    run = runTool({"--backup", db.path(), copy});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    db.exec("commit");
    {
        Connection connection;
        connection.setConnectionString("Data Source=" + copy);
        // The copy holds what was committed when it was made.
        EXPECT_EQ(Statement::scalar(connection.handle(), "select group_concat(jcjlh || zdyj) from hzzl").toString(),
                  "2006030501007");
    }

    const QByteArray kept = ExistingFile::contentsOf(copy);
    run = runTool({"--backup", db.path(), copy});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains("已存在")) << run.errors.toStdString();
    EXPECT_EQ(ExistingFile::contentsOf(copy), kept);
    // Nothing beside the copy but the open database's write-ahead log.
    EXPECT_EQ(QDir(db.directory()).entryList(QDir::Files),
              (QStringList{"backup.mdb", "ruvured.mdb", "ruvured.mdb-shm", "ruvured.mdb-wal"}));
}

TEST(CreatedbTool, CheckReportsDamageAndUnusableFiles)
{
    TempDatabase db;
    db.exec("insert into hzzl (jcjlh) values (1)");
    db.connection().close();
    {
        QFile file(db.path());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(4096);
        file.write(QByteArray(16, '\xff'));
    }
    struct Case {
        QString path;
        const char *message;
    };
    for (const Case &c : {Case{db.path(), "已损坏"}, Case{db.directory() + "/none.mdb", "找不到"}}) {
        SCOPED_TRACE(c.message);
        const ToolRun run = runTool({"--check", c.path});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.message))) << run.errors.toStdString();
    }
    const ToolRun run = runTool({"--backup", db.path(), db.directory() + "/copy.mdb"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(QFile::exists(db.directory() + "/copy.mdb"));
}

// A department's server database: made in an empty database only, filled from a
// room's file only when the file's numbers can stay unique, checked and backed
// up with the server's own tools.
TEST(CreatedbTool, SetsUpAnEmptyServerDatabase)
{
    PrivateCluster &cluster = PrivateCluster::instance();
    TempDatabase file;
    file.exec("insert into ks (ksmc, kspym) values ('内科', 'NK')");
    file.exec("insert into hzzl (jcjlh, xm, nl, jcrq, jcsj, zdyj, jtzz) values (?, ?, ?, ?, ?, ?, ?)",
              {2006030501, "张三", 45, "2006-03-05", "  007\r\n两肺纹理增粗。", QVariant(), ""});
    file.exec("insert into hzzl (jcjlh, xm) values (2006030502, '李四')");
    AuditTrail::append(file.connection(), AuditTrail::saved, 2006030501, "姓名：张三");
    AuditTrail::append(file.connection(), AuditTrail::dictionary, {}, "科室 添加 “内科” “NK”");
    file.exec("insert into deleted_records (jcjlh, xm, jcrq, deleted_at, deleted_by, deleted_on) "
              "values (2006030503, '王五', '2006-03-05', '2006-03-05T08:00:00.000Z', 'wang', 'room-1')");
    TempDatabase twice;
    twice.exec("insert into hzzl (jcjlh) values (2006030501), (2006030501), (2006030502), (2006030509), (2006030509)");
    const QString created = cluster.createDatabase();
    const QString copied = cluster.createDatabase();
    const QString refused = cluster.createDatabase();
    struct Case {
        QStringList arguments;
        int exitCode;
        const char *messagePart;
    };
    const QList<Case> cases = {
        {{"--sample", "--server", created}, 0, ""},
        {{"--server", created}, 1, "不是空的"},
        {{"--copy", file.path(), "--server", copied}, 0, ""},
        {{"--copy", twice.path(), "--server", refused}, 1, "2006030501（2条）、2006030509（2条）"},
        {{"--copy", file.path() + ".none", "--server", refused}, 1, "不存在"},
        {{"--server", cluster.conninfo("no_such_database")}, 1, "拒绝了登录"},
        {{"--backup", "--server", created}, 2, "pg_dump"},
        {{"--check", "--server", created}, 2, "pg_amcheck"},
        {{"--copy", "--server", created}, 2, "用法"},
        {{"--upgrade", "--server", created}, 0, ""},
        {{"--upgrade", file.path()}, 2, "用法"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = runTool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.messagePart))) << run.errors.toStdString();
    }

    Connection sample;
    sample.setServer(created);
    EXPECT_EQ(sample.scalar("select count(*) from ks").toInt(), SampleDictionaries::departments().size());
    Connection copy;
    copy.setServer(copied);
    EXPECT_EQ(copy.scalar("select string_agg(concat_ws('|', jcjlh, xm, coalesce(nl::text, '-'), coalesce(jcrq::text, '-'), "
                          "coalesce(jcsj, '-'), coalesce(zdyj, '-'), coalesce(jtzz, '-')), ';' order by _rowid_) from hzzl")
                  .toString(),
              "2006030501|张三|45|2006-03-05 00:00:00|  007\r\n两肺纹理增粗。|-|;2006030502|李四|-|-|-|-|-");
    EXPECT_EQ(copy.scalar("select count(*) from ks").toInt(), 1);
    // The file's trail goes on, whole, on the server; so do its kept deletions.
    AuditTrail::append(copy, AuditTrail::printed, 2006030501, {});
    EXPECT_EQ(AuditTrail::verify(copy).rows, 3);
    EXPECT_EQ(copy.scalar("select xm || jcrq from deleted_records").toString(), "王五2006-03-05 00:00:00");
    Connection empty;
    empty.setServer(refused);
    EXPECT_TRUE(failureOf([&] { empty.open(); }).contains("不是本系统的数据库"));
}
