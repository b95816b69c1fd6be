#include "crash/examination_sample.h"
#include "platform/core/convert.h"
#include "store/audit_trail.h"
#include "store/statement.h"
#include "temp_database.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr int base = 2006030500;

// One run of the writer: it is killed `delayMicroseconds` after it announced
// the begin of its first save. Returns whether that save had not finished.
bool killDuringSave(const QString &folder, int delayMicroseconds)
{
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER_PROGRAM), {folder});
    EXPECT_TRUE(writer.waitForStarted(10000));
    QByteArray seen;
    QElapsedTimer waited;
    waited.start();
    while (!seen.contains("begin") && waited.elapsed() < 10000) {
        writer.waitForReadyRead(100);
        seen += writer.readAllStandardOutput();
    }
    EXPECT_TRUE(seen.contains("begin")) << writer.readAllStandardError().toStdString();
    QThread::usleep(delayMicroseconds);
    writer.kill();
    writer.waitForFinished(10000);
    seen += writer.readAllStandardOutput();
    return !seen.contains("done");
}

// The writer's average time for one save, measured on a run that is let finish three.
int averageSaveMicroseconds(const QString &folder)
{
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER_PROGRAM), {folder});
    QElapsedTimer clock;
    QByteArray seen;
    qint64 firstBegin = -1;
    while (seen.count("done") < 3 && writer.waitForReadyRead(10000)) {
        seen += writer.readAllStandardOutput();
        if (firstBegin < 0 && seen.contains("begin")) {
            clock.start();
            firstBegin = 0;
        }
    }
    const qint64 elapsed = clock.nsecsElapsed() / 1000;
    writer.kill();
    writer.waitForFinished(10000);
    return int(qMax<qint64>(elapsed / 3, 200));
}

// Killed at random moments inside a save, 200 times: the file stays whole,
// every stored row is a whole record with all eleven columns as written, and
// each has its "保存" in the trail, which no unsaved record has.
TEST(CrashSafety, KilledSavesLeaveOnlyWholeRecords)
{
    TempDatabase db;
    const int saveTime = averageSaveMicroseconds(db.directory());
    QRandomGenerator random(20061);
    int insideSave = 0;
    for (int run = 0; run < 200; ++run)
        insideSave += killDuringSave(db.directory(), int(random.bounded(saveTime * 3 / 2)));
    // Most kills must land before the save reported back, or the test proves nothing.
    EXPECT_GT(insideSave, 50);

    EXPECT_EQ(db.scalar(QStringLiteral("pragma integrity_check")).toString(), "ok");
    Statement rows(db.connection().handle(),
                   QStringLiteral("select jcjlh, xm, xb, nl, jcks, jcbw, lczd, jcrq, jtzz, jcsj, zdyj "
                                  "from hzzl order by jcjlh"));
    int expected = 1;
    while (rows.step()) {
        const int n = rows.value(0).toInt() - base;
        // Each run starts after the highest stored number, so numbers have no gaps.
        ASSERT_EQ(n, expected) << "record numbers out of sequence";
        const ExaminationRecord written = examinationSample(n);
        const QVariantList stored = {rows.value(1), rows.value(2), rows.value(3), rows.value(4), rows.value(5),
                                     rows.value(6), rows.value(7), rows.value(8), rows.value(9), rows.value(10)};
        const QVariantList wanted = {written.name, written.sex, Convert::strToInt(written.age), written.department,
                                     written.site, written.diagnosis, QStringLiteral("2006-03-05"), written.bed,
                                     written.findings, written.opinion};
        for (int column = 0; column < wanted.size(); ++column)
            EXPECT_EQ(stored[column].toString(), wanted[column].toString())
                << "record " << n << ", column " << column + 1;
        ++expected;
    }
    EXPECT_GT(expected, 1) << "no record was ever saved";
    EXPECT_EQ(db.scalar(QStringLiteral("select group_concat(jcjlh) from (select jcjlh from audit_trail "
                                       "where action = '保存' order by id)")),
              db.scalar(QStringLiteral("select group_concat(jcjlh) from (select jcjlh from hzzl order by jcjlh)")));
    EXPECT_FALSE(AuditTrail::verify(db.connection()).firstBroken);
}

} // namespace
