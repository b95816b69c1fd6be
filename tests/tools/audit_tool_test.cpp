// ruvured-createdb --audit and --restore, run as a program.

#include "platform/core/clock.h"
#include "store/audit_trail.h"
#include "store/record_bin.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ToolResult {
    int exitCode = -1;
    QString out, errors;
};

ToolResult runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CREATEDB_PROGRAM), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QDateTime at(int day, const char *time)
{
    return QDateTime(QDate(2006, 3, day), QTime::fromString(QString::fromLatin1(time), "HH:mm:ss.zzz"));
}

class AuditTool : public ::testing::TestWithParam<Engine> {
protected:
    // The tool's arguments for `mode` on this test's database: its file, or the server.
    QStringList on(const QString &mode, const QStringList &more = {})
    {
        const QStringList where = db.onServer() ? QStringList{"--server", db.connection().server()} : QStringList{db.path()};
        return QStringList{mode} + where + more;
    }

    TempDatabase db{GetParam()};
};

} // namespace

RUN_ON_BOTH_ENGINES(AuditTool);

// Time order (not the order written), local times to the millisecond, the
// filters, an empty field for no record number, and one event a line.
TEST_P(AuditTool, ListsTheTrailAsTextOrCsv)
{
    AuditTrail::append(db.connection(), AuditTrail::saved, 2006030501, "姓名：张三", at(5, "08:00:00.000"));
    AuditTrail::append(db.connection(), AuditTrail::printed, 2006030501, "", at(5, "08:00:01.250"));
    AuditTrail::append(db.connection(), AuditTrail::dictionary, {}, "科室 添加 “内科” “nk”", at(6, "09:00:00.000"));
    AuditTrail::append(db.connection(), AuditTrail::printFailed, 2006030499, "缺纸,\t\"A4\"\n", at(4, "23:59:59.999"));
    const QString who = AuditTrail::userName() + '\t' + AuditTrail::computerName() + '\t';
    const QString e1 = "2006-03-05 08:00:00.000\t" + who + "保存\t2006030501\t姓名：张三\n";
    const QString e2 = "2006-03-05 08:00:01.250\t" + who + "打印\t2006030501\t\n";
    const QString e3 = "2006-03-06 09:00:00.000\t" + who + "字典\t\t科室 添加 “内科” “nk”\n";
    const QString e4 = "2006-03-04 23:59:59.999\t" + who + "打印失败\t2006030499\t缺纸,\\t\"A4\"\\n\n";
    const struct {
        QStringList options;
        QString out;
    } cases[] = {
        {{}, e4 + e1 + e2 + e3},
        {{"--from", "2006-03-05"}, e1 + e2 + e3},
        {{"--to", "2006-03-05"}, e4 + e1 + e2},
        {{"--from", "2006-03-05", "--to", "2006-03-05", "--record", "2006030501"}, e1 + e2},
        {{"--record", "2006030499", "--csv"},
         "\uFEFF时间,用户,计算机,操作,记录号,说明\r\n2006-03-04 23:59:59.999," + AuditTrail::userName() + ','
             + AuditTrail::computerName() + ",打印失败,2006030499,\"缺纸,\t\"\"A4\"\"\n\"\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const ToolResult run = runTool(on("--audit", c.options));
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_EQ(run.out, c.out);
    }
    for (const QStringList &wrong : {QStringList{"--from", "2006-3-5"}, QStringList{"--record", "x"},
                                     QStringList{"--verify", "--csv"}, QStringList{"--deleted-at", "2006"}}) {
        const ToolResult run = runTool(on("--audit", wrong));
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
    }
}

// --verify passes a whole chain and names the first row changed behind the triggers' back.
TEST_P(AuditTool, VerifyFailsOnceARowIsChanged)
{
    for (int n = 1; n <= 3; ++n)
        AuditTrail::append(db.connection(), AuditTrail::saved, 2006030500 + n, "姓名：张三");
    ToolResult run = runTool(on("--audit", {"--verify"}));
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.out.contains("共 3 条")) << run.out.toStdString();

    db.exec(db.onServer() ? "drop trigger audit_trail_kept on audit_trail" : "drop trigger audit_trail_kept");
    db.exec("update audit_trail set jcjlh = 2006030509 where id = 2");
    run = runTool(on("--audit", {"--verify"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("第 2 条（编号 2")) << run.errors.toStdString();
}

// Restore puts the deleted row back identical, refuses a number in use again
// without touching the file, and with several deleted restores only the one
// whose deletion time is given.
TEST_P(AuditTool, RestoreGivesBackTheRowOrRefuses)
{
    const QString examination = "select jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz from hzzl order by _rowid_";
    TableDataSet records(&db.connection(), "ADODataSet5", "hzzl");
    records.setCompanion(RecordBin::keepingDeletions());
    const auto deleteAt = [&](int minute) {
        Clock::setFixed(at(5, "10:00:00.000").addSecs(60 * minute));
        records.Close();
        records.Open();
        ASSERT_EQ(records.recordCount(), 1);
        records.Delete();
    };
    db.exec("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz) "
            "values (2006030501, '张三', '男', 45, '2006-03-05', '胸部', '内科', '咳嗽', '007', null, '')");
    const QStringList first = db.rows(examination);
    deleteAt(1);
    ToolResult run = runTool(on("--restore", {"2006030501"}));
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(db.rows(examination), first);

    deleteAt(2);
    db.exec("insert into hzzl (jcjlh, xm) values (2006030501, '李四')");
    const QStringList second = db.rows(examination);
    const auto everything = [&] {
        return db.rows(examination) + db.rows("select count(*) from deleted_records") + db.rows("select count(*) from audit_trail");
    };
    const QStringList before = everything();
    run = runTool(on("--restore", {"2006030501"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("已被另一份检查记录使用")) << run.errors.toStdString();
    EXPECT_EQ(everything(), before);

    deleteAt(3);
    run = runTool(on("--restore", {"2006030501"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("2006-03-05 10:02:00.000\t姓名：张三") && run.errors.contains("2006-03-05 10:03:00.000\t姓名：李四"))
        << run.errors.toStdString();
    EXPECT_EQ(db.rows(examination), QStringList());
    run = runTool(on("--restore", {"2006030501", "--deleted-at", "2006-03-05 10:03:00.000"}));
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(db.rows(examination), second);
    Clock::clearFixed();

    run = runTool(on("--audit", {"--record", "2006030501"}));
    QStringList actions;
    for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts))
        actions << line.section('\t', 1, 3);
    // The deletions at the test's fixed times of 2006, the restores at today's.
    const QString who = AuditTrail::userName() + '\t' + AuditTrail::computerName() + '\t';
    EXPECT_EQ(actions, (QStringList{who + "删除", who + "删除", who + "删除", who + "恢复", who + "恢复"}));
}
