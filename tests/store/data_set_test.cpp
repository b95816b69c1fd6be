#include "failure_text.h"
#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/query.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString nullToString()
{
    return QStringLiteral("Could not convert variant of type (Null) into type (String)");
}

void appendRecord(TableDataSet &table, const QString &name, const QString &findings, const QString &bed)
{
    table.Append();
    table.fieldByName("jcjlh").setValue(2006030501);
    table.fieldByName("xm").setValue(name);
    table.fieldByName("xb").setValue(QStringLiteral("男"));
    table.fieldByName("nl").setValue(QStringLiteral("42"));
    table.fieldByName("jcrq").setValue(QDate(2006, 3, 5));
    table.fieldByName("jcbw").setValue(QStringLiteral("胸部正位"));
    table.fieldByName("jcks").setValue(QStringLiteral("内科"));
    table.fieldByName("lczd").setValue(QStringLiteral("咳嗽"));
    table.fieldByName("jcsj").setValue(findings);
    table.fieldByName("zdyj").setValue(QStringLiteral("心肺膈未见明显异常。"));
    table.fieldByName("jtzz").setValue(bed);
    table.Post();
}

class StoreTest : public ::testing::TestWithParam<Engine> {
protected:
    TempDatabase db{GetParam()};
};

} // namespace

RUN_ON_BOTH_ENGINES(StoreTest);

TEST_P(StoreTest, TextIsCutToTheDeclaredWidthAndEmptyValuesKeepTheirKind)
{
    TableDataSet hzzl(&db.connection(), "ADODataSet1", "hzzl");
    for (const char *column : {"xm", "xb", "jcbw", "jcks", "lczd", "jtzz"})
        hzzl.declareWidth(column, 50);
    hzzl.Open();
    appendRecord(hzzl, QString(51, QChar(0x5f20)), QString(), QString());

    EXPECT_EQ(db.scalar("select length(xm) from hzzl").toInt(), 50);
    // Empty findings are stored as null but read back as empty text.
    EXPECT_EQ(db.scalar("select count(*) from hzzl where jcsj is null").toInt(), 1);
    // An empty bed number is a zero-length text, never null.
    EXPECT_EQ(db.scalar("select count(*) from hzzl where jtzz is not null and length(jtzz) = 0").toInt(), 1);

    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select jcsj as 检查所见, jtzz as 家庭住址, nl from hzzl";
    query.Open();
    EXPECT_EQ(query.fieldByName("检查所见").asString(), "");
    EXPECT_EQ(query.fieldByName("家庭住址").asString(), "");
    EXPECT_EQ(query.fieldByName("nl").asInteger(), 42);

    TableDataSet nr(&db.connection(), "ADODataSet4", "nr");
    nr.Open();
    nr.Append();
    nr.fieldByName("bt").setValue(QStringLiteral("胸部"));
    nr.fieldByName("nr").setValue(QString(256, 'x'));
    nr.Post();
    EXPECT_EQ(db.scalar("select length(nr) from nr").toInt(), 255);
}

TEST_P(StoreTest, NarrowerWindowWidthWinsAndSurrogatePairsAreNotSplit)
{
    TableDataSet ks(&db.connection(), "ADODataSet2", "ks");
    ks.declareWidth("ksmc", 3);
    ks.Open();
    ks.Append();
    // Two ordinary characters and a character outside the basic plane: cutting
    // at 3 would leave half of it.
    ks.fieldByName("ksmc").setValue(QStringLiteral("内科") + QString::fromUcs4(U"\U00020BB7"));
    ks.Post();
    EXPECT_EQ(db.scalar("select ksmc from ks").toString(), QStringLiteral("内科"));
}

TEST_P(StoreTest, NullRulesAndConversionMessages)
{
    db.exec("insert into hzzl (jcjlh, xm) values (1, null)");
    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select xm, jcsj, jcjlh from hzzl";
    query.Open();
    EXPECT_EQ(failureOf([&] { query.fieldByName("xm").asString(); }), nullToString());
    EXPECT_EQ(query.fieldByName("jcsj").asString(), "");

    Query empty(&db.connection(), "ADOQuery2");
    empty.SQL() << "select ksmc as 科室名称 from ks";
    empty.Open();
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.fieldByName("科室名称").isNull());
    EXPECT_EQ(failureOf([&] { empty.fieldByName("科室名称").asString(); }), nullToString());
    EXPECT_EQ(failureOf([&] { empty.fieldByName("nosuch"); }), "ADOQuery2: Field 'nosuch' not found");

    // max() over an empty table: one row holding null.
    Query nothingYet(&db.connection(), "ADOQuery3");
    nothingYet.SQL() << "select max(ksmc) as jlh from ks";
    nothingYet.Open();
    EXPECT_EQ(nothingYet.recordCount(), 1);
    EXPECT_TRUE(nothingYet.fieldByName("jlh").isNull());
    Query highest(&db.connection(), "ADOQuery3");
    highest.SQL() << "select max(jcjlh) as jlh from ks";
    // ks has no jcjlh: the database error surfaces as one sentence and the engine's short text.
    const QString unknownColumn = failureOf([&] { highest.Open(); });
    EXPECT_TRUE(unknownColumn.startsWith("数据库操作失败。（")) << unknownColumn.toStdString();
    EXPECT_TRUE(unknownColumn.contains("jcjlh")) << unknownColumn.toStdString();
}

TEST_P(StoreTest, AgeThatIsNotANumberFailsTheWrite)
{
    TableDataSet hzzl(&db.connection(), "ADODataSet1", "hzzl");
    hzzl.Open();
    hzzl.Append();
    EXPECT_EQ(failureOf([&] { hzzl.fieldByName("nl").setValue(QStringLiteral("")); }), "'' is not a valid integer value");
    EXPECT_EQ(failureOf([&] { hzzl.fieldByName("nl").setValue(QStringLiteral("4x")); }), "'4x' is not a valid integer value");
}

TEST_P(StoreTest, DeleteMovesToTheFollowingRowOrTheNewLast)
{
    for (const char *name : {"a", "b", "c", "d"})
        db.exec("insert into bt (bt) values (?)", {name});
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    bt.setCurrentRow(1);
    bt.Delete();  // b
    EXPECT_EQ(bt.fieldByName("bt").asString(), "c");
    bt.setCurrentRow(2);
    bt.Delete();  // d, the last
    EXPECT_EQ(bt.currentRow(), 1);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "c");
    bt.Delete();
    bt.Delete();
    EXPECT_EQ(bt.recordCount(), 0);
    EXPECT_EQ(bt.currentRow(), -1);
    EXPECT_TRUE(bt.fieldByName("bt").isNull());
    EXPECT_EQ(db.scalar("select count(*) from bt").toInt(), 0);
    EXPECT_NE(failureOf([&] { bt.Delete(); }), "");
}

TEST_P(StoreTest, RefreshRereadsValuesAndKeepsTheCurrentRow)
{
    for (const char *name : {"a", "b", "c"})
        db.exec("insert into bt (bt) values (?)", {name});
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    bt.setCurrentRow(2);
    bt.Edit();
    bt.fieldByName("bt").setValue("C");
    bt.Post();
    db.exec("update bt set bt = 'B' where bt = 'b'");
    bt.setCurrentRow(1);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "b");  // held values until refresh
    bt.Refresh();
    EXPECT_EQ(bt.currentRow(), 1);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "B");
    bt.setCurrentRow(2);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "C");

    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select bt from bt";
    query.Open();
    query.setCurrentRow(2);
    db.exec("update bt set bt = 'Z' where bt = 'C'");
    query.Refresh();
    EXPECT_EQ(query.currentRow(), 2);
    EXPECT_EQ(query.fieldByName("bt").asString(), "Z");
}

TEST_P(StoreTest, ParametersAreBoundNeverPasted)
{
    db.exec("insert into nr (bt, nr) values (?, ?)", {"胸部", "一"});
    db.exec("insert into nr (bt, nr) values (?, ?)", {"x' or '1'='1", "二"});
    db.exec("insert into hzzl (jcjlh, jcrq) values (2006030501, '2006-03-05')");
    db.exec("insert into hzzl (jcjlh, jcrq) values (2006030601, '2006-03-06')");

    Query phrases(&db.connection(), "ADOQuery2");
    phrases.SQL() << "select nr from nr" << "where bt=:bt";
    phrases.setParameter("bt", "x' or '1'='1");
    phrases.Open();
    ASSERT_EQ(phrases.recordCount(), 1);
    EXPECT_EQ(phrases.fieldByName("nr").asString(), "二");

    Query byNumber(&db.connection(), "ADOQuery1");
    byNumber.SQL() << "select jcjlh as 检查纪录号, jcrq as 检查日期 from hzzl" << "where jcjlh=:jlh";
    byNumber.setParameter("jlh", 2006030601);
    byNumber.Open();
    ASSERT_EQ(byNumber.recordCount(), 1);
    EXPECT_EQ(byNumber.fieldByName("检查日期").value().toDateTime().date(), QDate(2006, 3, 6));

    Query byDay(&db.connection(), "ADOQuery3");
    byDay.SQL() << "select jcjlh from hzzl" << "where jcrq = :rq";
    byDay.setParameter("rq", QDate(2006, 3, 5));
    byDay.Open();
    ASSERT_EQ(byDay.recordCount(), 1);
    EXPECT_EQ(byDay.fieldByName("jcjlh").asInteger(), 2006030501);
}

TEST_P(StoreTest, LargeResultsReadLazilyYetBehaveLikeRowsInMemory)
{
    db.exec("begin");
    for (int i = 0; i < 1000; ++i)
        db.exec("insert into bt (bt) values (?)", {QString::number(i)});
    db.exec("commit");

    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    EXPECT_EQ(bt.recordCount(), 1000);
    // Jump far ahead, come back, delete there, and read a part not read yet:
    // every row must still be the right one.
    bt.setCurrentRow(900);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "900");
    bt.setCurrentRow(10);
    bt.Delete();
    EXPECT_EQ(bt.fieldByName("bt").asString(), "11");
    bt.setCurrentRow(600);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "601");
    bt.setCurrentRow(998);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "999");
    EXPECT_EQ(bt.recordCount(), 999);

    int seen = 0;
    QString last;
    for (bt.First(); !bt.eof(); bt.Next()) {
        last = bt.fieldByName("bt").asString();
        ++seen;
    }
    EXPECT_EQ(seen, 999);
    EXPECT_EQ(last, "999");
}

TEST_P(StoreTest, AppendedRowsJoinTheEndAndClosedDataSetsRefuseWork)
{
    db.exec("insert into bt (bt) values ('a')");
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    EXPECT_EQ(failureOf([&] { bt.First(); }), "ADODataSet3: Cannot perform this operation on a closed dataset");
    bt.Open();
    bt.Append();
    bt.fieldByName("bt").setValue("b");
    bt.Post();
    EXPECT_EQ(bt.recordCount(), 2);
    EXPECT_EQ(bt.currentRow(), 1);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "b");
    EXPECT_EQ(failureOf([&] { bt.fieldByName("bt").setValue("c"); }), "ADODataSet3: Dataset not in edit or insert mode");

    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select bt from bt";
    query.Open();
    EXPECT_EQ(failureOf([&] { query.Append(); }), "ADOQuery1: Cannot modify a read-only dataset");
}

TEST_P(StoreTest, AFullyReadResultHoldsNoLockOnTheFile)
{
    db.exec("insert into hzzl (jcjlh) values (2006030501)");
    Query all(&db.connection(), "ADOQuery4");
    all.SQL() << "select *  from hzzl";
    all.Open();

    // Another program (or a second copy of this one) can still write.
    if (db.onServer()) {
        EXPECT_NO_THROW(db.exec("insert into ks (ksmc, kspym) values ('内科', 'NK')"));
    } else {
        sqlite3 *other = nullptr;
        ASSERT_EQ(sqlite3_open(db.path().toLocal8Bit().constData(), &other), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, "insert into ks values ('内科', 'NK')", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    }
    EXPECT_EQ(all.recordCount(), 1);
}

TEST_P(StoreTest, StoredTextComesBackCharacterForCharacter)
{
    const QStringList texts = {"007", "1.50", "1e3", " 12 ", "0x10", "-0", "2006-03-05"};
    TableDataSet hzzl(&db.connection(), "ADODataSet1", "hzzl");
    hzzl.Open();
    int number = 2006030501;
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        hzzl.Append();
        hzzl.fieldByName("jcjlh").setValue(number++);
        hzzl.fieldByName("jcsj").setValue(text);
        hzzl.fieldByName("zdyj").setValue(text);
        hzzl.fieldByName("xm").setValue(text);
        hzzl.Post();
        Query query(&db.connection(), "ADOQuery1");
        query.Reopen({"select jcsj as 检查所见, zdyj as 诊断意见, xm as 姓名 from hzzl where _rowid_ = (select max(_rowid_) from hzzl)"});
        for (const char *column : {"检查所见", "诊断意见", "姓名"})
            EXPECT_EQ(query.fieldByName(column).asString(), text) << column;
    }
}

TEST_P(StoreTest, DeleteDuringAnUnpostedAppendOnlyDropsTheNewRow)
{
    for (const char *name : {"a", "b"})
        db.exec("insert into bt (bt) values (?)", {name});
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    bt.setCurrentRow(1);
    bt.Append();
    bt.fieldByName("bt").setValue("c");
    bt.Delete();
    EXPECT_EQ(db.scalar("select count(*) from bt").toInt(), 2);
    EXPECT_EQ(db.scalar("select count(*) from bt where bt = 'c'").toInt(), 0);
    EXPECT_EQ(bt.recordCount(), 2);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "b");
}

TEST_P(StoreTest, ADateSearchTakesTheShortDateText)
{
    db.exec("insert into hzzl (jcjlh, jcrq) values (2006030501, '2006-03-05')");
    db.exec("insert into hzzl (jcjlh, jcrq) values (2006030502, '2006-03-05')");
    db.exec("insert into hzzl (jcjlh, jcrq) values (2006030601, '2006-03-06')");
    Query byDay(&db.connection(), "ADOQuery1");
    byDay.SQL() << "select jcjlh as 检查纪录号 from hzzl" << "where jcrq = :rq";
    byDay.setParameter("rq", Convert::dateToStr(QDate(2006, 3, 5)));
    byDay.Open();
    EXPECT_EQ(byDay.recordCount(), 2);

    byDay.Close();
    byDay.setParameter("rq", QStringLiteral("2006/13/45"));
    EXPECT_EQ(failureOf([&] { byDay.Open(); }), "'2006/13/45' is not a valid date");
    EXPECT_FALSE(byDay.active());

    // A text compared with a text column stays text.
    Query byName(&db.connection(), "ADOQuery2");
    byName.SQL() << "select bt from bt" << "where bt = :bt";
    byName.setParameter("bt", QStringLiteral("2006/13/45"));
    byName.Open();
    EXPECT_EQ(byName.recordCount(), 0);
}

TEST_P(StoreTest, ValuesAColumnCannotHoldAreRefusedNeverWrapped)
{
    TableDataSet hzzl(&db.connection(), "ADODataSet1", "hzzl");
    hzzl.Open();
    hzzl.Append();
    const QList<std::pair<const char *, QVariant>> refused = {
        {"nl", QVariant(qlonglong(9999999999))},
        {"jcjlh", QVariant(qlonglong(-2147483649))},
        {"nl", QStringLiteral("9999999999")},
        {"jcrq", QVariant(QDate())},
        {"jcrq", QVariant(5)},
        {"jcrq", QStringLiteral("明天")},
        // Valid dates beyond four-digit years have no ISO text: never stored as empty text.
        {"jcrq", QVariant(QDate(10000, 1, 1))},
        {"jcrq", QVariant(QDate(-44, 3, 15))},
        {"jcrq", QVariant(QDateTime(QDate(12000, 6, 1), QTime(8, 30)))},
    };
    for (const auto &[column, value] : refused) {
        SCOPED_TRACE(column + (' ' + value.toString().toStdString()));
        const QString message = failureOf([&] { hzzl.fieldByName(column).setValue(value); });
        EXPECT_NE(message, "");
        if (column == std::string("jcrq"))
            EXPECT_TRUE(message.endsWith("' is not a valid date")) << message.toStdString();
    }
    hzzl.fieldByName("jcjlh").setValue(qlonglong(2147483647));
    hzzl.Post();
    EXPECT_EQ(db.scalar("select count(*) from hzzl where jcrq is null and nl is null").toInt(), 1);

    Query query(&db.connection(), "ADOQuery1");
    query.Reopen({"select nl, jcjlh from hzzl"});
    EXPECT_EQ(query.fieldByName("jcjlh").asInteger(), 2147483647);
    // Only a file's integer column can hold more than 32 bits (another program put it there).
    if (db.onServer())
        return;
    db.exec("update hzzl set nl = 9999999999");
    query.Reopen({"select nl, jcjlh from hzzl"});
    EXPECT_EQ(query.fieldByName("nl").value().toLongLong(), 9999999999LL);
    EXPECT_EQ(query.fieldByName("nl").asString(), "9999999999");
    EXPECT_NE(failureOf([&] { query.fieldByName("nl").asInteger(); }), "");
}
