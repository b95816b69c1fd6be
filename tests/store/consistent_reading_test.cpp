#include "failure_text.h"
#include "store/query.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>
#include <random>

namespace {

// Enough rows that a result is read a page at a time, not whole at opening.
constexpr int largeTable = 3000;

void fillTitles(TempDatabase &db, int count)
{
    if (db.onServer()) {
        db.exec("insert into bt (bt) select generate_series(0, ? - 1)::text", {count});
        return;
    }
    db.exec("begin");
    for (int i = 0; i < count; ++i)
        db.exec("insert into bt (bt) values (?)", {QString::number(i)});
    db.exec("commit");
}

// What a data set shows, row by row, from first to last.
QStringList rowsOf(DataSet &dataSet, const QString &column)
{
    QStringList rows;
    for (dataSet.First(); !dataSet.eof(); dataSet.Next()) {
        const Field field = dataSet.fieldByName(column);
        rows << (field.isNull() ? QStringLiteral("<null>") : field.asString());
    }
    return rows;
}

// The rows as the database holds them now, in the data sets' order (by key).
QStringList readEverything(TempDatabase &db, const QString &sql)
{
    return db.rows(sql + QStringLiteral("\norder by _rowid_"));
}

// Runs the event loop until the data set's grid shows `rows` rows (ten seconds at most).
void learnInEventLoop(DataSet &dataSet, qsizetype rows)
{
    QElapsedTimer waited;
    waited.start();
    while (dataSet.gridRowCount() < rows && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
}

class ConsistentReading : public ::testing::TestWithParam<Engine> {
protected:
    TempDatabase db{GetParam()};
};

} // namespace

RUN_ON_BOTH_ENGINES(ConsistentReading);

TEST_P(ConsistentReading, OtherDataSetsChangingTheTableNeverShiftTheRows)
{
    struct Case {
        const char *what;
        int rows;
        QString statement;  // empty: the whole table "bt" as a table data set
    };
    const QList<Case> cases = {
        {"table data set, large", largeTable, {}},
        {"query, large", largeTable, "select bt as 标题 from bt"},
        {"query with a condition, large", largeTable, "select bt as 标题 from bt\nwhere bt <> '7'"},
        {"query, small", 300, "select bt as 标题 from bt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDatabase db(GetParam());
        fillTitles(db, c.rows);
        const QString reference = c.statement.isEmpty() ? QStringLiteral("select bt from bt") : c.statement;
        const QStringList atOpening = readEverything(db, reference);

        std::unique_ptr<DataSet> reader;
        if (c.statement.isEmpty()) {
            reader = std::make_unique<TableDataSet>(&db.connection(), "ADODataSet5", "bt");
        } else {
            auto query = std::make_unique<Query>(&db.connection(), "ADOQuery1");
            query->SQL() << c.statement.split('\n');
            reader = std::move(query);
        }
        reader->Open();
        const QString column = c.statement.isEmpty() ? QStringLiteral("bt") : QStringLiteral("标题");
        reader->setCurrentRow(5);
        EXPECT_EQ(reader->fieldByName(column).asString(), atOpening.at(5));

        // Another data set of the program deletes rows before, at and after
        // what was read, edits some, and appends.
        TableDataSet writer(&db.connection(), "ADODataSet3", "bt");
        writer.Open();
        std::mt19937 random(7);
        for (int i = 0; i < 40; ++i) {
            writer.setCurrentRow(int(random() % writer.recordCount()));
            writer.Delete();
            writer.setCurrentRow(int(random() % writer.recordCount()));
            writer.Edit();
            writer.fieldByName("bt").setValue(QStringLiteral("改%1").arg(i));
            writer.Post();
            writer.Append();
            writer.fieldByName("bt").setValue(QStringLiteral("新%1").arg(i));
            writer.Post();
        }
        EXPECT_EQ(reader->recordCount(), atOpening.size());
        EXPECT_EQ(rowsOf(*reader, column), atOpening);
    }
}

TEST_P(ConsistentReading, OwnChangesShowOnTopOfTheReading)
{
    fillTitles(db, largeTable);
    QStringList expected = readEverything(db, "select bt from bt");
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    for (const int row : {2500, 10, 1800}) {
        bt.setCurrentRow(row);
        bt.Delete();
        expected.removeAt(row);
    }
    bt.setCurrentRow(2000);
    bt.Edit();
    bt.fieldByName("bt").setValue("改");
    bt.Post();
    expected[2000] = "改";
    bt.Append();
    bt.fieldByName("bt").setValue("新");
    bt.Post();
    expected << "新";
    EXPECT_EQ(rowsOf(bt, "bt"), expected);
    EXPECT_EQ(readEverything(db, "select bt from bt"), expected);
}

TEST_P(ConsistentReading, ALargeSearchLearnsItsRowsAfterTheFirstScreen)
{
    enum class Then { EventLoopRuns, CountAsked, LastRowShown, ProgramDeletesAndAppends };
    fillTitles(db, largeTable);
    const QStringList search = {"select bt as 标题 from bt", "where bt <> '7'"};
    const QStringList atOpening = readEverything(db, search.join('\n'));
    for (const Then then : {Then::EventLoopRuns, Then::CountAsked, Then::LastRowShown, Then::ProgramDeletesAndAppends}) {
        SCOPED_TRACE(int(then));
        Query query(&db.connection(), "ADOQuery1");
        query.Reopen(search);
        const int first = query.gridRowCount();
        ASSERT_LT(first, atOpening.size());
        EXPECT_EQ(query.gridValue(first - 1, 0).toString(), atOpening.at(first - 1));
        switch (then) {
        case Then::EventLoopRuns:
            learnInEventLoop(query, atOpening.size());
            break;
        case Then::CountAsked:
            EXPECT_EQ(query.recordCount(), atOpening.size());
            break;
        case Then::LastRowShown:
            query.gridFetchLast();
            break;
        case Then::ProgramDeletesAndAppends: {
            // The highest row, not yet counted, is deleted and its rowid given to a new row.
            TableDataSet writer(&db.connection(), "ADODataSet3", "bt");
            writer.Open();
            writer.setCurrentRow(largeTable - 1);
            writer.Delete();
            writer.Append();
            writer.fieldByName("bt").setValue(QStringLiteral("新"));
            writer.Post();
            break;
        }
        }
        EXPECT_EQ(query.gridRowCount(), atOpening.size());
        EXPECT_EQ(query.gridValue(first - 1, 0).toString(), atOpening.at(first - 1));
        EXPECT_EQ(rowsOf(query, "标题"), atOpening);
    }
}

TEST_P(ConsistentReading, TheLastRowsShownFirstStayLastWhileTheRowsBeforeThemAreLearnt)
{
    enum class Then { EventLoopRuns, ProgramAppends, NextAsked, WalkedFromFirst };
    fillTitles(db, 12000);
    const QStringList search = {"select bt as 标题 from bt", "where bt <> '7'"};
    for (const Then then : {Then::EventLoopRuns, Then::ProgramAppends, Then::NextAsked, Then::WalkedFromFirst}) {
        SCOPED_TRACE(int(then));
        const QStringList atOpening = readEverything(db, search.join('\n'));
        Query query(&db.connection(), "ADOQuery1");
        query.Reopen(search);
        // As Ctrl+End in a grid.
        query.gridFetchLast();
        const int last = query.gridRowCount() - 1;
        ASSERT_EQ(query.gridValue(last, 0).toString(), atOpening.last());
        query.gridSetCurrentRow(last);
        // Another program appends: above the reading.
        db.exec("insert into bt (bt) values ('later')");
        switch (then) {
        case Then::EventLoopRuns:
            learnInEventLoop(query, atOpening.size());
            break;
        case Then::ProgramAppends: {
            TableDataSet writer(&db.connection(), "ADODataSet3", "bt");
            writer.Open();
            writer.Append();
            writer.fieldByName("bt").setValue(QStringLiteral("新"));
            writer.Post();
            break;
        }
        case Then::NextAsked:
            query.Next();
            EXPECT_TRUE(query.eof());
            break;
        case Then::WalkedFromFirst:
            EXPECT_EQ(rowsOf(query, "标题"), atOpening);
            break;
        }
        EXPECT_EQ(query.currentRow(), atOpening.size() - 1);
        EXPECT_EQ(query.fieldByName("标题").asString(), atOpening.last());
        QStringList upwards;
        for (int row = query.gridRowCount() - 1; row >= 0; --row)
            upwards.prepend(query.gridValue(row, 0).toString());
        EXPECT_EQ(upwards, atOpening);
    }
}

TEST_P(ConsistentReading, ASecondProgramWritesWhileResultsStayOpen)
{
    fillTitles(db, largeTable);
    db.exec("insert into hzzl (jcjlh) values (2006030501)");
    // What the registration window leaves open after its showing, and a
    // large list scrolled part way.
    Query highest(&db.connection(), "ADOQuery3");
    Query all(&db.connection(), "ADOQuery4");
    highest.Reopen({"select max(jcjlh) as jlh from hzzl"});
    all.Reopen({"select *  from hzzl"});
    Query titles(&db.connection(), "ADOQuery1");
    titles.Reopen({"select bt from bt"});
    titles.setCurrentRow(1500);
    EXPECT_EQ(titles.fieldByName("bt").asString(), "1500");

    if (db.onServer()) {
        // Another room; on a file, another program that will not wait for a lock.
        db.exec("insert into bt (bt) values ('other')");
        db.exec("delete from bt where bt = '3'");
    } else {
        QProcess other;
        other.start("sqlite3", {"-cmd", ".timeout 0", db.path(), "insert into bt values ('other'); delete from bt where bt = '3';"});
        ASSERT_TRUE(other.waitForFinished(10000));
        EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    }
    EXPECT_EQ(db.scalar("select count(*) from bt where bt = 'other'").toInt(), 1);
    EXPECT_EQ(titles.recordCount(), largeTable);
}

TEST_P(ConsistentReading, AClosedConnectionIsOpenedAgainByTheNextRead)
{
    fillTitles(db, largeTable);
    TableDataSet bt(&db.connection(), "ADODataSet3", "bt");
    bt.Open();
    EXPECT_EQ(bt.fieldByName("bt").asString(), "0");
    db.connection().close();
    bt.setCurrentRow(2900);
    EXPECT_EQ(bt.fieldByName("bt").asString(), "2900");
    EXPECT_TRUE(db.connection().connected());
    db.connection().close();
    bt.Delete();
    EXPECT_EQ(db.scalar("select count(*) from bt").toInt(), largeTable - 1);
    db.connection().close();
    bt.Close();
    bt.Open();
    EXPECT_EQ(bt.recordCount(), largeTable - 1);
}

TEST_P(ConsistentReading, MovingBackwardsAndJumpingGivesTheRightRows)
{
    fillTitles(db, 20000);
    Query titles(&db.connection(), "ADOQuery1");
    titles.Reopen({"select bt from bt"});
    // Backwards from the end, then jumps: each row is the right one.
    for (const int row : {19999, 19998, 19743, 0, 12345, 19999, 256, 255})
    {
        titles.setCurrentRow(row);
        EXPECT_EQ(titles.fieldByName("bt").asString(), QString::number(row));
    }
    int seen = 0;
    for (titles.First(); !titles.eof(); titles.Next())
        seen += titles.fieldByName("bt").asString() == QString::number(seen);
    EXPECT_EQ(seen, 20000);
}

// A whole table's keys are known from its lowest and highest key and the
// removals the database keeps between them: whatever another program did,
// the reading holds exactly the table's rows.
TEST_P(ConsistentReading, AWholeTableWithGapsIsReadRowForRow)
{
    struct Case {
        const char *what;
        QStringList changes;
        QStringList onServer;  // where the server's words differ
    };
    const QList<Case> cases = {
        {"gaps in the middle and at both ends", {"delete from bt where bt in ('0', '5', '6', '100', '2999')"}},
        {"the highest key deleted, then a row added",
         {"delete from bt where bt = '2999'", "insert into bt (bt) values ('again')", "delete from bt where bt = '7'"}},
        {"every row but one deleted", {"delete from bt where bt <> '1500'"}},
        {"an insert rolled back, then another kept",
         {"begin", "insert into bt (bt) values ('gone')", "rollback", "insert into bt (bt) values ('kept')"}},
        {"the table emptied and filled again",
         {"delete from bt", "insert into bt (bt) values ('new')"},
         {"truncate bt", "insert into bt (bt) values ('new')"}},
        {"the tracking triggers gone",
         {"drop trigger bt_removed", "delete from bt where bt in ('1', '2000')"},
         {"drop trigger bt_removed on bt", "delete from bt where bt in ('1', '2000')"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDatabase db(GetParam());
        fillTitles(db, largeTable);
        // Another program changes the table; the triggers in the database keep track there too.
        if (db.onServer()) {
            for (const QString &change : c.onServer.isEmpty() ? c.changes : c.onServer)
                db.exec(change);
        } else {
            QProcess other;
            other.start("sqlite3", {db.path(), c.changes.join(';')});
            ASSERT_TRUE(other.waitForFinished(10000));
            ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
        }

        const QStringList expected = readEverything(db, "select bt from bt");
        TableDataSet table(&db.connection(), "ADODataSet3", "bt");
        table.Open();
        Query query(&db.connection(), "ADOQuery1");
        query.Reopen({"select bt as 标题 from bt"});
        EXPECT_EQ(table.recordCount(), expected.size());
        EXPECT_EQ(rowsOf(table, "bt"), expected);
        EXPECT_EQ(rowsOf(query, "标题"), expected);
    }
}
