// The trail of actions and the kept deleted examinations.

#include "failure_text.h"
#include "platform/core/failure.h"
#include "private_cluster.h"
#include "store/audit_trail.h"
#include "store/record_bin.h"
#include "store/server_schema.h"
#include "store/server_session.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <gtest/gtest.h>

namespace {

const QString examination = QStringLiteral("select jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz from %1");

int count(TempDatabase &db, const char *table)
{
    return db.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt();
}

void appendEvents(TempDatabase &db, int events)
{
    for (int n = 1; n <= events; ++n)
        AuditTrail::append(db.connection(), AuditTrail::saved, 2006030500 + n, QStringLiteral("姓名：患者%1").arg(n));
}

// A trigger that makes every `kind` ("insert", "update", "delete") of `table` fail, in each engine's words.
void refuse(TempDatabase &db, const QString &kind, const QString &table)
{
    if (db.onServer()) {
        db.exec("create function refused() returns trigger language plpgsql as $$ begin raise exception 'refused'; end $$");
        db.exec(QStringLiteral("create trigger refused before %1 on %2 for each row execute function refused()").arg(kind, table));
    } else {
        db.exec(QStringLiteral("create trigger refused before %1 on %2 begin select raise(abort, 'refused'); end").arg(kind, table));
    }
}

void dropTrailTriggers(TempDatabase &db)
{
    for (const char *trigger : {"audit_trail_kept", "audit_trail_whole"})
        db.exec(QStringLiteral("drop trigger %1%2").arg(QLatin1String(trigger), db.onServer() ? " on audit_trail" : ""));
}

class AuditTrailTest : public ::testing::TestWithParam<Engine> {
protected:
    TempDatabase db{GetParam()};
};

class RecordBinTest : public AuditTrailTest {};

// Each case needs a database of its own.
class AuditTrailCases : public ::testing::TestWithParam<Engine> {};

} // namespace

RUN_ON_BOTH_ENGINES(AuditTrailTest);
RUN_ON_BOTH_ENGINES(AuditTrailCases);
RUN_ON_BOTH_ENGINES(RecordBinTest);

// A row and the trace its companion writes are stored together or not at all,
// and a data set whose write failed still shows the table as it is.
TEST_P(AuditTrailCases, ARowAndItsTraceAreStoredTogetherOrNotAtAll)
{
    enum class Failing { Nothing, Trace, Row };
    const struct {
        RowWrite::Kind kind;
        const char *trigger;  // the statement kind a refusing trigger fires on
        QStringList stored;   // ks after a successful write
        QString detail;
    } kinds[] = {
        {RowWrite::Kind::Insert, "insert", {"内科|nk", "外科|wk"}, "科室 添加 “外科” “wk”"},
        {RowWrite::Kind::Update, "update", {"内一科|nk"}, "科室 修改 “内科” “nk” → “内一科” “nk”"},
        {RowWrite::Kind::Delete, "delete", {}, "科室 删除 “内科” “nk”"},
    };
    for (const auto &kind : kinds) {
        for (const Failing failing : {Failing::Nothing, Failing::Trace, Failing::Row}) {
            SCOPED_TRACE(std::string(kind.trigger) + " failing " + std::to_string(int(failing)));
            TempDatabase db(GetParam());
            db.exec("insert into ks (ksmc, kspym) values ('内科', 'nk')");
            if (failing == Failing::Row)
                refuse(db, QLatin1String(kind.trigger), "ks");
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
            const QStringList stored = db.rows("select ksmc, kspym from ks order by _rowid_");
            if (failing == Failing::Nothing) {
                EXPECT_EQ(failure, "");
                EXPECT_EQ(stored, kind.stored);
                EXPECT_EQ(db.rows("select action, detail from audit_trail"), QStringList{"字典|" + kind.detail});
            } else {
                EXPECT_NE(failure, "");
                EXPECT_EQ(stored, QStringList{"内科|nk"});
                EXPECT_EQ(count(db, "audit_trail"), 0);
                ks.Cancel();
                EXPECT_EQ(ks.recordCount(), 1);
            }
        }
    }
}

// The program only adds: the database refuses every change, removal and
// emptying of the trail, whoever asks (the tests are the owner).
TEST_P(AuditTrailTest, TrailRowsCanBeNeitherChangedNorRemoved)
{
    appendEvents(db, 3);
    QStringList statements = {"update audit_trail set detail = '姓名：李四' where id = 2", "update audit_trail set id = 7 where id = 3",
                              "delete from audit_trail where id = 3", "delete from audit_trail"};
    statements << (db.onServer() ? QStringLiteral("truncate audit_trail")
                                 : QStringLiteral("insert or replace into audit_trail values (2, 'x', 'x', 'x', '删除', null, 'x', 'x')"));
    if (db.onServer())
        statements << "insert into audit_trail values (2, 'x', 'x', 'x', '删除', null, 'x', 'x') on conflict (id) do update set detail = 'x'";
    for (const QString &statement : statements) {
        SCOPED_TRACE(statement.toStdString());
        EXPECT_TRUE(failureOf([&] { db.exec(statement); }).contains("操作记录只能添加"));
    }
    const AuditTrail::Verdict verdict = AuditTrail::verify(db.connection());
    EXPECT_EQ(verdict.rows, 3);
    EXPECT_FALSE(verdict.firstBroken);
}

// With the triggers dropped, any row edited, removed or moved breaks the
// chain, and the first row that does not fit is named.
TEST_P(AuditTrailCases, VerifyNamesTheFirstRowThatDoesNotFit)
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
        TempDatabase db(GetParam());
        appendEvents(db, 4);
        dropTrailTriggers(db);
        for (const QString &statement : QString::fromUtf8(c.tampering).split(';', Qt::SkipEmptyParts))
            db.exec(statement);
        const AuditTrail::Verdict verdict = AuditTrail::verify(db.connection());
        EXPECT_EQ(verdict.rows, c.rowsThatFit);
        EXPECT_EQ(verdict.firstBroken ? verdict.firstBroken->id : 0, c.firstBroken);
    }
}

// A deleted examination keeps every column as stored and comes back
// identical; while its number is in use again it stays where it is.
TEST_P(RecordBinTest, DeleteThenRestoreGivesBackTheIdenticalRow)
{
    db.exec("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz) values (2006030501, '张三', "
            "'男', 45, '2006-03-05', '胸部正位', '内科', '咳嗽', '  007\r\n', null, '')");
    const QStringList before = db.rows(examination.arg("hzzl"));
    TableDataSet records(&db.connection(), "ADODataSet5", "hzzl");
    records.declareWidth("xm", 1);  // the record list's narrow widths never reach the kept row
    records.setCompanion(RecordBin::keepingDeletions());
    records.Open();
    records.Delete();
    EXPECT_EQ(count(db, "hzzl"), 0);
    EXPECT_EQ(db.rows(examination.arg("deleted_records")), before);
    EXPECT_EQ(db.rows("select deleted_by, deleted_on from deleted_records"),
              QStringList{AuditTrail::userName() + '|' + AuditTrail::computerName()});

    const QList<RecordBin::Deleted> deleted = RecordBin::deletedWith(db.connection(), 2006030501);
    ASSERT_EQ(deleted.size(), 1);
    db.exec("insert into hzzl (jcjlh, xm) values (2006030501, '李四')");
    EXPECT_TRUE(failureOf([&] { RecordBin::restore(db.connection(), deleted.first()); }).contains("已被另一份检查记录使用"));
    EXPECT_EQ(count(db, "deleted_records"), 1);
    EXPECT_EQ(count(db, "audit_trail"), 1);

    db.exec("delete from hzzl where xm = '李四'");
    RecordBin::restore(db.connection(), deleted.first());
    EXPECT_EQ(db.rows(examination.arg("hzzl")), before);
    EXPECT_EQ(count(db, "deleted_records"), 0);
    // Restored once already: nothing to put back, and no trace of a restore that did not happen.
    db.exec("delete from hzzl");
    EXPECT_TRUE(failureOf([&] { RecordBin::restore(db.connection(), deleted.first()); }).contains("已不在"));
    EXPECT_EQ(count(db, "hzzl"), 0);
    EXPECT_EQ(db.rows("select action, jcjlh from audit_trail order by id"),
              (QStringList{"删除|2006030501", "恢复|2006030501"}));
    EXPECT_FALSE(AuditTrail::verify(db.connection()).firstBroken);
}

namespace {

// What README grants the rooms' role, as of the version before the trail and since.
const QStringList roomGrantsBeforeTheTrail = {"grant select, insert, update, delete on hzzl, ks, bwmc, bt, nr to room",
                                              "grant select on ruvured_schema, removed_rows to room"};
const QStringList roomGrantsOnTheTrail = {"grant select, insert on audit_trail to room",
                                          "grant select, insert, delete on deleted_records to room"};

// Everything in a server database but the schema version: objects, grants and rows.
QStringList contents(ServerSession &owner)
{
    QStringList found;
    for (const char *query : {
             "select 'column ' || table_name || '.' || column_name || ' ' || data_type || ' ' || is_nullable "
             "from information_schema.columns where table_schema = 'public'",
             "select 'trigger ' || tgrelid::regclass || '.' || tgname from pg_trigger where not tgisinternal",
             "select 'function ' || proname || ' ' || prosecdef from pg_proc where pronamespace = 'public'::regnamespace",
             "select 'index ' || indexrelid::regclass from pg_index i join pg_class c on c.oid = i.indrelid "
             "where c.relnamespace = 'public'::regnamespace",
             "select 'grant ' || grantee || ' ' || table_name || ' ' || privilege_type "
             "from information_schema.role_table_grants where table_schema = 'public'",
             "select 'hzzl ' || h::text from hzzl h", "select 'ks ' || k::text from ks k",
             "select 'removed ' || r::text from removed_rows r"}) {
        const ServerSession::Result rows = owner.exec(QString::fromUtf8(query));
        for (int row = 0; row < rows.rowCount(); ++row)
            found << rows.value(row, 0).toString();
    }
    found.sort();
    return found;
}

} // namespace

// A database of the version before the trail, upgraded by its owner, gains the
// two tables, the trail's triggers and the rooms' rights on them, and nothing
// else changes. On it and on a new database, the rooms' role with README's
// grants saves, deletes and restores, and can add to the trail but never change it.
TEST(ServerTrail, UpgradedOrNewTheRoomsRoleOnlyAddsToTheTrail)
{
    PrivateCluster &cluster = PrivateCluster::instance();
    ServerSession(cluster.conninfo("postgres"))
        .exec("do $$ begin create role room login; exception when duplicate_object then null; end $$");
    for (const bool upgraded : {true, false}) {
        SCOPED_TRACE(upgraded ? "upgraded" : "new");
        const QString conninfo = cluster.createWorkstationDatabase();
        ServerSession owner(conninfo);
        for (const QString &grant : roomGrantsBeforeTheTrail)
            owner.exec(grant);
        if (upgraded) {
            owner.exec("drop table audit_trail, deleted_records");
            owner.exec("drop function ruvured_trail_kept, ruvured_next_key_deleted_records");
            owner.exec("update ruvured_schema set user_version = 2");
            owner.exec("insert into ks (ksmc, kspym) values ('内科', 'nk'), ('外科', 'wk')");
            owner.exec("insert into hzzl (jcjlh, xm, jcrq) values (2006030501, '张三', '2006-03-05'), (2006030502, '李四', null)");
            owner.exec("delete from ks where ksmc = '内科'");
            const QStringList before = contents(owner);
            Connection upgrading;
            upgrading.setServer(conninfo);
            upgrading.open();
            EXPECT_EQ(owner.scalar("select user_version from ruvured_schema").toInt(), ServerSchema::version);
            QStringList after = contents(owner);
            after.removeIf([](const QString &item) {
                return item.contains("audit_trail") || item.contains("deleted_records") || item.contains("ruvured_trail_kept");
            });
            EXPECT_EQ(after, before);
        } else {
            for (const QString &grant : roomGrantsOnTheTrail)
                owner.exec(grant);
        }

        Connection room;
        room.setServer(conninfo + " user=room");
        TableDataSet records(&room, "ADODataSet1", "hzzl");
        records.setCompanion([](Connection &connection, const RowWrite &change) {
            AuditTrail::tracingSaves()(connection, change);
            RecordBin::keepingDeletions()(connection, change);
        });
        records.Open();
        records.Append();
        records.fieldByName("jcjlh").setValue(2006030509);
        records.fieldByName("xm").setValue("王五");
        records.Post();
        records.Delete();
        RecordBin::restore(room, RecordBin::deletedWith(room, 2006030509).value(0));
        EXPECT_EQ(owner.scalar("select xm from hzzl where jcjlh = 2006030509").toString(), "王五");
        for (const char *statement : {"update audit_trail set detail = ''", "delete from audit_trail", "truncate audit_trail"}) {
            SCOPED_TRACE(statement);
            EXPECT_NE(failureOf([&] { room.write(QString::fromUtf8(statement), {}); }), "");
        }
        const AuditTrail::Verdict verdict = AuditTrail::verify(room);
        EXPECT_EQ(verdict.rows, 3);
        EXPECT_FALSE(verdict.firstBroken);
        EXPECT_EQ(owner.scalar("select string_agg(action, ',' order by id) from audit_trail").toString(), "保存,删除,恢复");
    }
}
