#include "crash/examination_sample.h"
#include "platform/core/convert.h"
#include "platform/core/failure.h"
#include "store/maintenance.h"
#include "store/schema.h"
#include "store/statement.h"
#include "temp_database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

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

// Starts the writer, which opens (and so upgrades) the file first, and kills it
// after `delayMilliseconds`, or lets it run until its first save when negative.
// Returns the milliseconds until its first save began, or -1 when killed before.
qint64 runWriterUntil(const QString &folder, int delayMilliseconds)
{
    QProcess writer;
    QElapsedTimer clock;
    clock.start();
    writer.start(QStringLiteral(CRASH_WRITER_PROGRAM), {folder});
    EXPECT_TRUE(writer.waitForStarted(10000));
    qint64 began = -1;
    if (delayMilliseconds >= 0) {
        QThread::msleep(delayMilliseconds);
    } else {
        QByteArray seen;
        while (!seen.contains("begin") && writer.waitForReadyRead(30000))
            seen += writer.readAllStandardOutput();
        began = clock.elapsed();
    }
    writer.kill();
    writer.waitForFinished(10000);
    return began;
}

// A file of the first version (memo and date columns of numeric affinity), a few megabytes.
void makeVersionOneFile(const QString &path, int rows)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql = QByteArray("pragma application_id = 1381388868; pragma user_version = 1; begin;"
        "create table hzzl (jcjlh INTEGER, xm VARCHAR(50), xb VARCHAR(50), nl INTEGER, jcrq DATETIME, "
        "jcbw VARCHAR(50), jcks VARCHAR(50), lczd VARCHAR(50), jcsj MEMO, zdyj MEMO, jtzz VARCHAR(50));"
        "create table ks (ksmc VARCHAR(50), kspym VARCHAR(50)); create table bwmc (bwmc VARCHAR(50), bwpym VARCHAR(50));"
        "create table bt (bt VARCHAR(50)); create table nr (bt VARCHAR(50), nr VARCHAR(255));"
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < ") + QByteArray::number(rows) + ") "
        "insert into hzzl (jcjlh, xm, jcrq, jcsj) select 2006030500 + i, '患者' || i, '2006-03-05', "
        "printf('%0300d', i) from n; commit;";
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// A copy kept before an upgrade is the whole old file, or it is not there at all.
void expectWholeCopy(const QString &path, int rows)
{
    SCOPED_TRACE(path.toStdString());
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(Statement::scalar(db, QStringLiteral("pragma quick_check")).toString(), "ok");
    EXPECT_EQ(Statement::scalar(db, QStringLiteral("pragma user_version")).toInt(), 1);
    EXPECT_EQ(Statement::scalar(db, QStringLiteral("select count(*) from hzzl")).toInt(), rows);
    sqlite3_close(db);
}

// Killed at random moments of the upgrade of an old file, 12 times: every copy
// under a copy's name is whole, and the next opening cleans up what the killed
// one left and finishes the upgrade.
TEST(CrashSafety, KilledUpgradesLeaveOnlyWholeCopies)
{
    constexpr int rows = 15000;
    QTemporaryDir dir;
    const QString original = dir.filePath("v1.mdb");
    makeVersionOneFile(original, rows);
    const auto freshFolder = [&](int run) {
        const QString folder = dir.filePath(QString::number(run));
        QDir().mkpath(folder);
        QFile::copy(original, folder + "/ruvured.mdb");
        return folder;
    };
    const qint64 upgradeTime = runWriterUntil(freshFolder(0), -1);
    ASSERT_GT(upgradeTime, 0);
    QRandomGenerator random(17021);
    for (int run = 1; run <= 12; ++run) {
        const QString folder = freshFolder(run);
        runWriterUntil(folder, int(random.bounded(upgradeTime * 6 / 5 + 1)));
        const QStringList copies = QDir(folder).entryList({"ruvured.mdb.v1.bak*"}, QDir::Files);
        for (const QString &copy : copies) {
            if (!copy.contains(".partial-"))
                expectWholeCopy(folder + '/' + copy, rows);
        }
        Connection connection;
        connection.setConnectionString(Connection::connectionStringFor(folder));
        // The old records, whole, beside any the writer saved after a finished upgrade.
        EXPECT_EQ(Statement::scalar(connection.handle(), QStringLiteral("select count(*) from hzzl where jcjlh <= ?"),
                                    {2006030500 + rows})
                      .toInt(),
                  rows);
        EXPECT_EQ(Statement::scalar(connection.handle(), QStringLiteral("pragma user_version")).toInt(),
                  Schema::userVersion);
        const QStringList left = QDir(folder).entryList({"*.partial-*"}, QDir::Files);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
        EXPECT_FALSE(QDir(folder).entryList({"ruvured.mdb.v1.bak*"}, QDir::Files).isEmpty());
    }
}

// A backup of a file that another program saves to without pause ends, is a
// sound file, and a stopped backup leaves nothing behind, nor does a killed one
// once the next backup ran.
TEST(CrashSafety, ABackupFinishesWhileAnotherProgramSavesWithoutPause)
{
    TempDatabase db;
    db.exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 4000) "
                           "insert into hzzl (jcjlh, jcsj) select i, printf('%04000d', i) from n"));
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER_PROGRAM), {db.directory()});
    QByteArray seen;
    while (seen.count("done") < 5 && writer.waitForReadyRead(10000))
        seen += writer.readAllStandardOutput();
    ASSERT_GE(seen.count("done"), 5) << writer.readAllStandardError().toStdString();

    QTemporaryDir backups;
    QProcess gone;
    gone.start(QStringLiteral("true"));
    gone.waitForStarted();
    const QString deadPid = QString::number(gone.processId());
    gone.waitForFinished();
    for (const QString &leftover : {"/old.mdb.partial-" + deadPid, "/old.mdb.partial-" + deadPid + "-journal"}) {
        QFile file(backups.path() + leftover);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString copy = backups.filePath("copy.mdb");
    const auto saved = [&] { return db.scalar(QStringLiteral("select count(*) from hzzl where jcjlh > 4000")).toInt(); };
    const int savedBefore = saved();
    QElapsedTimer guard;  // stops a copy that starts over for ever, instead of hanging the test run
    guard.start();
    const QString failure = [&]() -> QString {
        try {
            Maintenance::backup(db.path(), copy, [&](int) { return guard.elapsed() < 120000; });
        } catch (const Failure &f) {
            return f.message();
        }
        return {};
    }();
    const int savedMeanwhile = saved() - savedBefore;
    writer.kill();
    writer.waitForFinished();
    EXPECT_EQ(failure, "");
    EXPECT_GT(savedMeanwhile, 0) << "the writer was held up";
    EXPECT_EQ(Maintenance::check(copy), "ok");

    EXPECT_THROW(Maintenance::backup(db.path(), backups.filePath("stopped.mdb"), [](int) { return false; }), Failure);
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files), QStringList{"copy.mdb"});
}

// Killed at random moments inside a save, 200 times: the file stays whole and
// every stored row is a whole record with all eleven columns as written.
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
}

} // namespace
