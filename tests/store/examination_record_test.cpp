#include "crash/examination_sample.h"
#include "failure_text.h"
#include "platform/core/clock.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <gtest/gtest.h>

namespace {

class ExaminationRecordTest : public ::testing::TestWithParam<Engine> {
protected:
    ExaminationRecordTest() : records(&db.connection(), QStringLiteral("ADODataSet1"), QStringLiteral("hzzl"))
    {
        for (const char *column : {"xm", "xb", "jcbw", "jcks", "lczd", "jtzz"})
            records.declareWidth(QLatin1String(column), 50);
    }

    QVariant stored(const char *column)
    {
        return db.scalar(QStringLiteral("select %1 from hzzl").arg(QLatin1String(column)));
    }

    TempDatabase db{GetParam()};
    TableDataSet records;
};

RUN_ON_BOTH_ENGINES(ExaminationRecordTest);

// Labels are trimmed, memos kept exactly, an empty memo stored as null, texts
// cut to their width, the date stored as a whole day.
TEST_P(ExaminationRecordTest, StoresTheColumnsAsTheReportWindowHoldsThem)
{
    ExaminationRecord record = examinationSample(1);
    record.recordNumber = QStringLiteral(" 2006030501 ");
    record.name = QStringLiteral("  张三\t");
    record.age = QStringLiteral(" 45");
    record.site = QString(51, QChar(u'胸'));
    record.bed = QString();
    record.findings = QStringLiteral("  007\r\n1.50 ");
    record.opinion = QString();
    record.appendTo(records);

    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from hzzl")).toInt(), 1);
    EXPECT_EQ(stored("jcjlh").toLongLong(), 2006030501);
    EXPECT_EQ(stored("xm").toString(), "张三");
    EXPECT_EQ(stored("nl").toInt(), 45);
    EXPECT_EQ(stored("jcbw").toString(), QString(50, QChar(u'胸')));
    EXPECT_EQ(stored("jcrq").toString(), db.onServer() ? "2006-03-05 00:00:00" : "2006-03-05");
    EXPECT_FALSE(stored("jtzz").isNull());
    EXPECT_EQ(stored("jtzz").toString(), "");
    EXPECT_EQ(stored("jcsj").toString(), "  007\r\n1.50 ");
    EXPECT_TRUE(stored("zdyj").isNull());
}

// A value that does not convert stops the save with its own message, stores
// nothing, and leaves no half row for the next save to post.
TEST_P(ExaminationRecordTest, AFailedConversionLeavesNothingPending)
{
    struct Case {
        void (*spoil)(ExaminationRecord &);
        const char *message;
    };
    const Case cases[] = {
        {[](ExaminationRecord &r) { r.age = QString(); }, "'' is not a valid integer value"},
        {[](ExaminationRecord &r) { r.age = QStringLiteral(" 4 5 "); }, "'4 5' is not a valid integer value"},
        {[](ExaminationRecord &r) { r.recordNumber = QStringLiteral("20060305011"); },
         "'20060305011' is not a valid integer value"},
        {[](ExaminationRecord &r) { r.date = QStringLiteral("2006/13/45"); }, "'2006/13/45' is not a valid date"},
    };
    int saved = 0;
    for (const Case &c : cases) {
        ExaminationRecord bad = examinationSample(saved + 1);
        c.spoil(bad);
        EXPECT_EQ(failureOf([&] { bad.appendTo(records); }), c.message);
        examinationSample(++saved).appendTo(records);
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from hzzl")).toInt(), saved) << c.message;
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from hzzl where nl is null or xm is null")).toInt(), 0);
    }
}

// A number stored meanwhile by another workstation moves the save on to the
// next free number of the day; the examination is stored once, under it.
TEST_P(ExaminationRecordTest, ATakenNumberMovesOnToTheNextFreeOne)
{
    Clock::setFixed(QDateTime(QDate(2006, 3, 5), QTime(9, 0)));
    struct Case {
        QList<qint64> stored;  // numbers other rooms stored since the window was shown
        qint32 shown;
        qint32 saved;
    };
    const QList<Case> cases = {
        {{}, 2006030501, 2006030501},
        {{2006030502}, 2006030502, 2006030503},
        {{2006030504, 2006030505}, 2006030504, 2006030506},
        // A number of an earlier day taken: today's numbers go on from the highest.
        {{2006030401}, 2006030401, 2006030507},
    };
    for (const Case &c : cases) {
        for (const qint64 number : c.stored)
            db.exec(QStringLiteral("insert into hzzl (jcjlh) values (?)"), {number});
        ExaminationRecord record = examinationSample(1);
        record.recordNumber = QString::number(c.shown);
        EXPECT_EQ(record.appendTo(records).number, c.saved) << c.shown;
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from hzzl where jcjlh = ? and xm = ?"), {c.saved, record.name}).toInt(), 1);
    }
    Clock::clearFixed();
}

} // namespace
