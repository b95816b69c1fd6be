// The trail of actions and the kept deleted examinations.

#include "failure_text.h"
#include "platform/core/failure.h"
#include "store/audit_trail.h"
#include "store/record_bin.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <gtest/gtest.h>

namespace {

const QString examination = QStringLiteral(
    "quote(jcjlh)||quote(xm)||quote(xb)||quote(nl)||quote(jcrq)||quote(jcbw)||quote(jcks)||quote(lczd)||quote(jcsj)"
    "||quote(zdyj)||quote(jtzz)");

int count(TempDatabase &db, const char *table)
{
    return db.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt();
}

void appendEvents(TempDatabase &db, int events)
{
    for (int n = 1; n <= events; ++n)
        AuditTrail::append(db.connection(), AuditTrail::saved, 2006030500 + n, QStringLiteral("姓名：患者%1").arg(n));
}

} // namespace

// A row and the trace its companion writes are stored together or not at all,
// and a data set whose write failed still shows the table as it is.
TEST(AuditTrail, ARowAndItsTraceAreStoredTogetherOrNotAtAll)
{
    enum class Failing { Nothing, Trace, Row };
    const struct {
        RowWrite::Kind kind;
        const char *trigger;  // the statement kind a refusing trigger fires on
        QString stored;       // ks after a successful write
        QString detail;
    } kinds[] = {
        {RowWrite::Kind::Insert, "insert", "内科|nk,外科|wk", "科室 添加 “外科” “wk”"},
        {RowWrite::Kind::Update, "update", "内一科|nk", "科室 修改 “内科” “nk” → “内一科” “nk”"},
        {RowWrite::Kind::Delete, "delete", "", "科室 删除 “内科” “nk”"},
    };
    for (const auto &kind : kinds) {
        for (const Failing failing : {Failing::Nothing, Failing::Trace, Failing::Row}) {
            SCOPED_TRACE(std::string(kind.trigger) + " failing " + std::to_string(int(failing)));
            TempDatabase db;
            db.exec("insert into ks values ('内科', 'nk')");
            if (failing == Failing::Row)
                db.exec(QStringLiteral("create trigger refused before %1 on ks begin select raise(abort, 'refused'); end")
                            .arg(QLatin1String(kind.trigger)));
            TableDataSet ks(&db.connection(), "ADODataSet1", "ks");
            ks.setCompanion([&](Connection &connection, const RowWrite &change) {
                AuditTrail::tracingDictionary(QStringLiteral("科室"))(connection, change);
                if (failing == Failing::Trace)
                    throw Failure(QStringLiteral("trace refused"));
            });
            ks.Open();
            const QString failure = failureOf([&] {
                if (kind.kind == RowWrite::Kind::Delete) {
                    ks.Delete();
                    return;
                }
                kind.kind == RowWrite::Kind::Insert ? ks.Append() : ks.Edit();
                ks.fieldByName("ksmc").setValue(kind.kind == RowWrite::Kind::Insert ? "外科" : "内一科");
                if (kind.kind == RowWrite::Kind::Insert)
                    ks.fieldByName("kspym").setValue("wk");
                ks.Post();
            });
            const QString stored = db.scalar("select group_concat(ksmc || '|' || kspym, ',') from ks").toString();
            if (failing == Failing::Nothing) {
                EXPECT_EQ(failure, "");
                EXPECT_EQ(stored, kind.stored);
                EXPECT_EQ(db.scalar("select action || ' ' || detail from audit_trail").toString(), "字典 " + kind.detail);
            } else {
                EXPECT_NE(failure, "");
                EXPECT_EQ(stored, "内科|nk");
                EXPECT_EQ(count(db, "audit_trail"), 0);
                ks.Cancel();
                EXPECT_EQ(ks.recordCount(), 1);
            }
        }
    }
}

// The program only adds: the file refuses every change and removal of a trail row.
TEST(AuditTrail, TrailRowsCanBeNeitherChangedNorRemoved)
{
    TempDatabase db;
    appendEvents(db, 3);
    for (const char *statement :
         {"update audit_trail set detail = '姓名：李四' where id = 2", "update audit_trail set id = 7 where id = 3",
          "delete from audit_trail where id = 3", "delete from audit_trail",
          "insert or replace into audit_trail values (2, 'x', 'x', 'x', '删除', null, 'x', 'x')"}) {
        SCOPED_TRACE(statement);
        EXPECT_TRUE(failureOf([&] { db.exec(QString::fromUtf8(statement)); }).contains("操作记录只能添加"));
    }
    const AuditTrail::Verdict verdict = AuditTrail::verify(db.connection());
    EXPECT_EQ(verdict.rows, 3);
    EXPECT_FALSE(verdict.firstBroken);
}

// With the triggers dropped, any row edited, removed or moved breaks the
// chain, and the first row that does not fit is named.
TEST(AuditTrail, VerifyNamesTheFirstRowThatDoesNotFit)
{
    const struct {
        const char *tampering;
        qint64 rowsThatFit;
        qint64 firstBroken;  // 0: the chain is whole
    } cases[] = {
        {"", 4, 0},
        {"update audit_trail set detail = '姓名：李四' where id = 2", 1, 2},
        {"update audit_trail set os_user = 'someone' where id = 4", 3, 4},
        {"update audit_trail set jcjlh = null where id = 1", 0, 1},
        {"delete from audit_trail where id = 2", 1, 3},
        {"update audit_trail set id = -2 where id = 2; update audit_trail set id = 2 where id = 3; "
         "update audit_trail set id = 3 where id = -2",
         1, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tampering);
        TempDatabase db;
        appendEvents(db, 4);
        db.exec("drop trigger audit_trail_kept");
        db.exec("drop trigger audit_trail_whole");
        for (const QString &statement : QString::fromUtf8(c.tampering).split(';', Qt::SkipEmptyParts))
            db.exec(statement);
        const AuditTrail::Verdict verdict = AuditTrail::verify(db.connection());
        EXPECT_EQ(verdict.rows, c.rowsThatFit);
        EXPECT_EQ(verdict.firstBroken ? verdict.firstBroken->id : 0, c.firstBroken);
    }
}

// A deleted examination keeps every column as stored and comes back
// identical; while its number is in use again it stays where it is.
TEST(RecordBin, DeleteThenRestoreGivesBackTheIdenticalRow)
{
    TempDatabase db;
    db.exec("insert into hzzl values (2006030501, '张三', '男', 45, '2006-03-05', '胸部正位', '内科', '咳嗽', "
            "'  007\r\n', null, '')");
    const QString before = db.scalar("select " + examination + " from hzzl").toString();
    TableDataSet records(&db.connection(), "ADODataSet5", "hzzl");
    records.declareWidth("xm", 1);  // the record list's narrow widths never reach the kept row
    records.setCompanion(RecordBin::keepingDeletions());
    records.Open();
    records.Delete();
    EXPECT_EQ(count(db, "hzzl"), 0);
    EXPECT_EQ(db.scalar("select " + examination + " from deleted_records").toString(), before);
    EXPECT_EQ(db.scalar("select deleted_by || '@' || deleted_on from deleted_records").toString(),
              AuditTrail::userName() + '@' + AuditTrail::computerName());

    const QList<RecordBin::Deleted> deleted = RecordBin::deletedWith(db.connection(), 2006030501);
    ASSERT_EQ(deleted.size(), 1);
    db.exec("insert into hzzl (jcjlh, xm) values (2006030501, '李四')");
    EXPECT_TRUE(failureOf([&] { RecordBin::restore(db.connection(), deleted.first()); }).contains("已被另一份检查记录使用"));
    EXPECT_EQ(count(db, "deleted_records"), 1);
    EXPECT_EQ(count(db, "audit_trail"), 1);

    db.exec("delete from hzzl where xm = '李四'");
    RecordBin::restore(db.connection(), deleted.first());
    EXPECT_EQ(db.scalar("select " + examination + " from hzzl").toString(), before);
    EXPECT_EQ(count(db, "deleted_records"), 0);
    EXPECT_EQ(db.scalar("select group_concat(action || jcjlh, ',') from audit_trail").toString(),
              "删除2006030501,恢复2006030501");
    EXPECT_FALSE(AuditTrail::verify(db.connection()).firstBroken);
}
